#include "common/text_utils.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using Pieces = std::vector<std::string>;

TEST(SplitByChars, SplitsAtEveryDelimiterCharacter) {
    Pieces pieces{"stale"};
    EXPECT_EQ(SplitByChars("com.zor.common", ".", pieces), 3);
    EXPECT_EQ(pieces, (Pieces{"com", "zor", "common"}));
    EXPECT_EQ(SplitByChars("a,b;;c d", ",; ", pieces), 5);
    EXPECT_EQ(pieces, (Pieces{"a", "b", "", "c", "d"}));
    EXPECT_EQ(SplitByChars("Root", ".", pieces), 1);
    EXPECT_EQ(pieces, (Pieces{"Root"}));
    EXPECT_EQ(SplitByChars("", ".", pieces), 1);
    EXPECT_EQ(pieces, (Pieces{""}));
    EXPECT_EQ(SplitByChars(".x.", ".", pieces), 3);
    EXPECT_EQ(pieces, (Pieces{"", "x", ""}));
    EXPECT_EQ(SplitByChars("a.b", "", pieces), 1);
}

TEST(PadString, PadsOnTheChosenSide) {
    EXPECT_EQ(PadString("ab", 5, true), "   ab");
    EXPECT_EQ(PadString("ab", 5, false), "ab   ");
    EXPECT_EQ(PadString("abcdef", 3, true), "abcdef");
    EXPECT_EQ(PadString("", 2, false), "  ");
}

TEST(CaseInsensitiveText, ComparesAsciiLettersOnly) {
    EXPECT_TRUE(EqualsIgnoringCase("Threshold", "THRESHOLD"));
    EXPECT_FALSE(EqualsIgnoringCase("Threshold", "Thresholds"));
    EXPECT_FALSE(EqualsIgnoringCase("a[", "A{")); // '[' and '{' are not letters
    EXPECT_TRUE(StartsWithIgnoringCase(R"(\\CLIENT\x)", R"(\\client)"));
    EXPECT_FALSE(StartsWithIgnoringCase(R"(\\cli)", R"(\\client)"));
    EXPECT_TRUE(StartsWithIgnoringCase("abc", ""));
}

TEST(NumberText, ConvertsBothWays) {
    EXPECT_EQ(UIntToText(0), "0");
    EXPECT_EQ(UIntToText(4294967295u), "4294967295");

    const auto max = std::numeric_limits<std::int64_t>::max();
    const auto min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(TextToInt64("12345"), 12345);
    EXPECT_EQ(TextToInt64("  -42xyz"), -42);
    EXPECT_EQ(TextToInt64("+7"), 7);
    EXPECT_EQ(TextToInt64("10485760"), 10485760);
    EXPECT_EQ(TextToInt64("9223372036854775807"), max);
    EXPECT_EQ(TextToInt64("-9223372036854775808"), min);
    EXPECT_EQ(TextToInt64("99999999999999999999"), max);
    EXPECT_EQ(TextToInt64("-99999999999999999999"), min);
    EXPECT_EQ(TextToInt64("abc"), 0);
    EXPECT_EQ(TextToInt64(""), 0);
    EXPECT_EQ(TextToInt64("-"), 0);
}

} // namespace
