// Line ends of text transfers, block by block: a line end split across two
// blocks must come out as if the blocks had been one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ftp/FtpTextConverter.h"

namespace {

using Blocks = std::vector<std::string>;

std::string ToLocal(const Blocks& blocks) {
    FtpTextConverter converter;
    std::string local;
    for (const std::string& block : blocks) {
        std::string out(block.size() + 1, '\0');
        out.resize(converter.ToLocal(block.data(), block.size(), out.data()));
        local += out;
    }
    char last = 0;
    if (converter.FinishToLocal(&last) == 1) local += last;
    return local;
}

std::string ToWire(const Blocks& blocks) {
    FtpTextConverter converter;
    std::string wire;
    for (const std::string& block : blocks) {
        std::string out(2 * block.size(), '\0');
        out.resize(converter.ToWire(block.data(), block.size(), out.data()));
        wire += out;
    }
    return wire;
}

TEST(FtpTextConverter, FromTheServerCrLfBecomesLfAndEveryOtherCrStays) {
    struct Row {
        Blocks wire;
        std::string local;
    };
    const Row rows[] = {
        {{"one\r\ntwo\r\n"}, "one\ntwo\n"},
        {{"one\r", "\ntwo"}, "one\ntwo"},        // split between CR and LF
        {{"one\r", "", "\ntwo"}, "one\ntwo"},    // with an empty block between
        {{"lone\rcr\r\n"}, "lone\rcr\n"},        // a lone CR stays
        {{"lone\r", "cr"}, "lone\rcr"},          // also at a block's end
        {{"ends with cr\r"}, "ends with cr\r"},  // and at the very end
        {{"\r\r\n"}, "\r\n"},                    // CR CR LF: the first CR is lone
        {{"\r", "\r", "\n"}, "\r\n"},
        {{"bare\nlf"}, "bare\nlf"},  // an LF alone stays
        {{"\n\r\n"}, "\n\n"},
        {{""}, ""},
    };
    for (const Row& row : rows) EXPECT_EQ(ToLocal(row.wire), row.local) << ::testing::PrintToString(row.wire);
}

TEST(FtpTextConverter, ToTheServerABareLfBecomesCrLfAndCrLfAndLoneCrStay) {
    struct Row {
        Blocks local;
        std::string wire;
    };
    const Row rows[] = {
        {{"one\ntwo\n"}, "one\r\ntwo\r\n"},
        {{"\n\n"}, "\r\n\r\n"},
        {{"dos\r\nfile\r\n"}, "dos\r\nfile\r\n"},  // already CR LF
        {{"dos\r", "\nfile"}, "dos\r\nfile"},      // CR LF split between blocks
        {{"lone\rcr"}, "lone\rcr"},
        {{"cr\r", "x\n"}, "cr\rx\r\n"},
        {{"no line end"}, "no line end"},
    };
    for (const Row& row : rows) EXPECT_EQ(ToWire(row.local), row.wire) << ::testing::PrintToString(row.local);
}

// Every place a block can end gives the same bytes as one block, both ways,
// and a round trip gives back the local text.
TEST(FtpTextConverter, EverySplitPointGivesTheSameResult) {
    const std::string wire = "#!/usr/bin/perl\r\nprint 1;\r\n\r\nlone\rcr\r\r\n\n\r";
    const std::string local = "#!/usr/bin/perl\nprint 1;\n\nlone\rcr\r\n\n\r";
    for (std::size_t a = 0; a <= wire.size(); ++a) {
        for (std::size_t b = a; b <= wire.size(); ++b) {
            const Blocks blocks{wire.substr(0, a), wire.substr(a, b - a), wire.substr(b)};
            ASSERT_EQ(ToLocal(blocks), local) << a << " " << b;
        }
    }
    const std::string unix = "#!/bin/sh\necho hi\n\nlone\rcr\nlast";
    const std::string unixWire = ToWire({unix});
    EXPECT_EQ(unixWire, "#!/bin/sh\r\necho hi\r\n\r\nlone\rcr\r\nlast");
    for (std::size_t a = 0; a <= unix.size(); ++a) {
        ASSERT_EQ(ToWire({unix.substr(0, a), unix.substr(a)}), unixWire) << a;
        ASSERT_EQ(ToLocal({unixWire.substr(0, a), unixWire.substr(a)}), unix) << a;
    }
}

}  // namespace
