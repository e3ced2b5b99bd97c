// Wording, filtering and colours of log lines.
#include <gtest/gtest.h>

#include "session/LogLine.h"
#include "util/MiscUtils.h"

namespace {

struct Case {
    const char* text;
    TLogKind kind;
    bool debug;
    const char* shown;
};

TEST(LogLine, PrefixesFiltersAndMasking) {
    const Case cases[] = {
        {"PASS secret", TLogKind::Command, false, "Command:    PASS *****"},
        {"pass secret", TLogKind::Command, false, "Command:    PASS *****"},
        {"> PASS secret", TLogKind::Display, false, ""},  // the command event logs it already
        {"> pAsS secret", TLogKind::Info, false, "            > PASS *****"},
        {"USER bob", TLogKind::Command, false, "Command:    USER bob"},
        {"< 230 Login successful.", TLogKind::Display, false, "            230 Login successful."},
        {"< ", TLogKind::Display, false, "            "},
        {"! Connected", TLogKind::Display, false, ""},
        {"Ready", TLogKind::Status, false, "Status:     Ready"},
        {"Ready to transmit", TLogKind::Info, false, "            Ready to transmit"},
        {"- No error", TLogKind::Debug, false, ""},
        {"- No error", TLogKind::Debug, true, "Debug:      - No error"},
        {"", TLogKind::Status, false, ""},
        // A password word further on is not a PASS command.
        {"USER passenger", TLogKind::Command, false, "Command:    USER passenger"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatLogLine(c.text, c.kind, c.debug), c.shown) << c.text;
}

TEST(LogLine, MaskingLooksOnlyAtTheCommandWord) {
    EXPECT_EQ(MaskPassword("PASSWORD"), "PASS *****");
    EXPECT_EQ(MaskPassword("< PASS"), "> PASS *****");  // characters three to six spell it
    EXPECT_EQ(MaskPassword("PAS"), "PAS");
    EXPECT_EQ(MaskPassword("> PAS"), "> PAS");
    EXPECT_EQ(MaskPassword("CWD /pass"), "CWD /pass");
}

TEST(LogLine, OneColourPerKind) {
    auto rgb = [](TLogKind k) {
        const TLogColour c = LogColour(k);
        return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
    };
    EXPECT_EQ(rgb(TLogKind::Info), "0,0,0");
    EXPECT_EQ(rgb(TLogKind::Display), "0,0,0");
    EXPECT_EQ(rgb(TLogKind::Debug), "128,128,0");
    EXPECT_EQ(rgb(TLogKind::Status), "0,0,255");
    EXPECT_EQ(rgb(TLogKind::Command), "0,128,0");
}

TEST(LogLine, ElapsedTimeWrapsAfterADay) {
    EXPECT_EQ(ElapsedText(0), "00:00:00");
    EXPECT_EQ(ElapsedText(59), "00:00:59");
    EXPECT_EQ(ElapsedText(3600 + 62), "01:01:02");
    EXPECT_EQ(ElapsedText(24 * 3600 + 5), "00:00:05");
    EXPECT_EQ(ElapsedText(-3), "00:00:00");
}

}  // namespace
