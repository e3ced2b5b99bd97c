#include <gtest/gtest.h>

#include <cmath>

#include "tests/util/UtilTestSupport.h"
#include "util/MiscUtils.h"

TEST(SizeTexts, ExamplesLargeSizesAndSeparators) {
    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(1), "1 bytes");
    EXPECT_EQ(SizeText(1024), "1,024 bytes");
    EXPECT_EQ(SizeText(1536), "1.5 KB");
    EXPECT_EQ(SizeText(1048576), "1,024 KB");
    EXPECT_EQ(SizeText(1073741824), "1,024 MB");
    EXPECT_EQ(SizeText(1048575), "1,024 KB");  // 1023.999 KB carries into the whole part
    EXPECT_EQ(SizeText(3LL << 30), "3 GB");
    EXPECT_EQ(SizeText(5000000000LL), "4.66 GB");
    EXPECT_EQ(ByteCountText(0), "0 byte");
    EXPECT_EQ(ByteCountText(1536), "1,536 bytes");
    EXPECT_EQ(ByteCountText(5000000000LL), "5,000,000,000 bytes");
    const NumberSeparators german{".", ","};
    EXPECT_EQ(SizeText(1536, german), "1,5 KB");
    EXPECT_EQ(ByteCountText(1234567, german), "1.234.567 bytes");
}

TEST(PathTexts, TrailingSeparatorAndLastPos) {
    EXPECT_EQ(WithTrailingBackslash(""), "");
    EXPECT_EQ(WithTrailingBackslash("/home"), "/home/");
    EXPECT_EQ(WithoutTrailingBackslash("/"), "");
    EXPECT_EQ(WithoutTrailingBackslash("/home/dir"), "/home/dir");
    EXPECT_EQ(WithoutTrailingBackslash("/home/dir//"), "/home/dir/");
    EXPECT_EQ(LastPos("ab", "xabab"), 4);
    EXPECT_EQ(LastPos("abc", "ab"), 0);
    EXPECT_EQ(LastPos("", "abc"), 0);
}

TEST(ProfileValues, QuotingKeepsBlanksQuotesAndLineBreaks) {
    const std::string typed = " pass\"word\r\nend ";
    EXPECT_EQ(QuoteValue(typed),
              "\" pass\x02word\x03\x04"
              "end \"");
    EXPECT_EQ(UnquoteValue(QuoteValue(typed)), typed);
    EXPECT_EQ(UnquoteValue("\""), "");
}

TEST(DateTimes, SecondsOfDayAndLocalDayCounts) {
    EXPECT_EQ(SecondsOfDay(12.0 + (3723.4 / 86400.0)), 3723);
    const TDateTime start = 45000.0 + 1.0 / 3.0;  // 59 s apart lands a hair below 59 s
    EXPECT_EQ(SecondsOfDay((start + 59.0 / 86400.0) - start), 59);
    EXPECT_EQ(SecondsOfDay(2.0 + 86399.9999 / 86400.0), 0);
    EXPECT_EQ(SecondsOfDay(-1.25), 21600);

    using namespace std::chrono;
    utiltest::ScopedEnv zone("TZ", "UTC-2");
    EXPECT_DOUBLE_EQ(ToDateTime(system_clock::time_point{}), 25569.0 + 2.0 / 24.0);
    EXPECT_DOUBLE_EQ(ToDateTime(system_clock::time_point{hours{34}}), 25570.5);
    EXPECT_DOUBLE_EQ(ToDateTime(system_clock::time_point{hours{-2} - milliseconds{500}}), 25568.0 + 86399.5 / 86400.0);
}

TEST(PlainTexts, SplitAsGetlineAndRoundingHeldToRange) {
    EXPECT_TRUE(SplitText("", '\n').empty());
    EXPECT_EQ(SplitText("a\n\nb\n", '\n'), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitText(":x", ':'), (std::vector<std::string>{"", "x"}));
    EXPECT_EQ(RoundedWhole(2.5), 3u);
    EXPECT_EQ(RoundedWhole(2.49), 2u);
    EXPECT_EQ(RoundedWhole(-1.0), 0u);
    EXPECT_EQ(RoundedWhole(std::nan("")), 0u);
    EXPECT_EQ(RoundedWhole(1e30), UINT64_MAX);
}
