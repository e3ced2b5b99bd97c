#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ftp/FtpReplyBuffer.h"

namespace {

void Feed(FtpReplyBuffer& buffer, const std::string& bytes) {
    ASSERT_LE(static_cast<int>(bytes.size()), buffer.FreeCount());
    std::memcpy(buffer.FreeSpace(), bytes.data(), bytes.size());
    buffer.Commit(static_cast<int>(bytes.size()));
}

std::vector<std::string> Drain(FtpReplyBuffer& buffer) {
    std::vector<std::string> lines;
    std::string line;
    while (buffer.TakeLine(line)) lines.push_back(line);
    return lines;
}

TEST(FtpReplyBuffer, LineSplitOverTwoReceivesComesOutWhole) {
    FtpReplyBuffer buffer;
    Feed(buffer, "22");
    EXPECT_TRUE(Drain(buffer).empty());
    Feed(buffer, "0 ready\r\n");
    EXPECT_EQ(Drain(buffer), std::vector<std::string>{"220 ready"});
    EXPECT_EQ(buffer.Count(), 0);
}

TEST(FtpReplyBuffer, SeparatesLinesByCrLfAndLoneLf) {
    FtpReplyBuffer buffer;
    Feed(buffer, "220 a\r\n331 b\r\n");
    EXPECT_EQ(Drain(buffer), (std::vector<std::string>{"220 a", "331 b"}));
    Feed(buffer, "220 lone\n");
    EXPECT_EQ(Drain(buffer), std::vector<std::string>{"220 lone"});
    Feed(buffer, "331 next\n230 x");
    EXPECT_EQ(Drain(buffer), std::vector<std::string>{"331 next"});
    EXPECT_EQ(buffer.Count(), 5);
}

TEST(FtpReplyBuffer, EarlyLoneLfStaysInsideLineEndedByLaterCrLf) {
    FtpReplyBuffer buffer;
    Feed(buffer, "220 one\ntwo\r\n");
    EXPECT_EQ(Drain(buffer), std::vector<std::string>{"220 one\ntwo"});
}

TEST(FtpReplyClassify, FinalAndContinuationLines) {
    int code = 0;
    EXPECT_FALSE(IsFinalReplyLine("220-welcome", code));
    EXPECT_EQ(code, 220);
    code = 0;
    EXPECT_FALSE(IsFinalReplyLine("   middle line", code));
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(IsFinalReplyLine("", code));
    EXPECT_TRUE(IsFinalReplyLine("220 done", code));
    EXPECT_EQ(code, 220);
    EXPECT_TRUE(IsFinalReplyLine("421", code));
    EXPECT_EQ(code, 421);
}

// Lines of one reply in order, each with whether it ends the reply.
TEST(FtpReplyClassify, MultiLineReplyEndsOnlyAtItsOwnCodeAndABlank) {
    const struct {
        const char* line;
        bool final;
    } lines[] = {
        {"230-Welcome", false},   {"200 kept 30 days", false},
        {"230-more", false},      {"230x", false},
        {" 230 indented", false}, {"230 in", true},
        {"257 \"/\"", true},      {"211-Features:", false},
        {" MDTM", false},         {"211", true},
        {"220-a", false},         {"220\tb", true},
    };
    int code = 0;
    int open = 0;
    for (const auto& line : lines) {
        EXPECT_EQ(ClassifyReplyLine(line.line, code, open), line.final) << line.line;
    }
    EXPECT_EQ(open, 0);
    EXPECT_EQ(code, 220);
}

TEST(FtpReplyClassify, AbsurdDigitRunsSaturate) {
    int code = 0;
    EXPECT_TRUE(IsFinalReplyLine(std::string(400, '9') + " x", code));
    EXPECT_EQ(code, 2147483647);
    std::size_t pos = 0;
    EXPECT_EQ(ParseReplyNumber("99999999999999999999999", pos), INT64_MAX);
    pos = 0;
    EXPECT_EQ(ParseReplyNumber(" \t-42x", pos), -42);
    EXPECT_EQ(pos, 5u);
    pos = 3;
    EXPECT_EQ(ParseReplyNumber("213 3221225472", pos), 3221225472LL);
}

TEST(FtpReplyParse, QuotedNames) {
    EXPECT_EQ(ParseQuotedName("257 \"/home/a\"\"b\" is current"), "/home/a\"b");
    EXPECT_EQ(ParseQuotedName("257 \"/x\""), "/x");
    EXPECT_EQ(ParseQuotedName("250 CWD command successful"), "");
    EXPECT_EQ(ParseQuotedName("257 \"unterminated"), "unterminated");
    EXPECT_EQ(ParseQuotedName("257 \"\"\"\""), "\"");
}

TEST(FtpReplyParse, PasvPortFromSixNumbers) {
    int port = 0;
    EXPECT_TRUE(ParsePasvPort("227 Entering Passive Mode (10,1,2,3,19,137).", port));
    EXPECT_EQ(port, 5001);
    EXPECT_TRUE(ParsePasvPort("227 =(127, 0, 0, 1, 200, 1)", port));
    EXPECT_EQ(port, 51201);
    for (const char* bad : {"227 Entering Passive Mode", "227 (1,2,3,4,5)", "227 (1,2,3,4,5,6", "227 (a,b,c,d,e,f)",
                            "227 (1,2,3,4,999,1)", "227 (1,2,3,4,0,0)", "227 (1,2,3,4,5,99999999999999999999999)"}) {
        EXPECT_FALSE(ParsePasvPort(bad, port)) << bad;
    }
}

}  // namespace
