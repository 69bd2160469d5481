// The scanning functions one by one: each case gives the text (scanned from
// its start) and the offset where the scan must stop; an offset equal to the
// text's length is its terminating NUL.
#include "xml/xml_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using namespace xml_scan;

struct FindCase {
    const char* text;
    char esc;
    std::ptrdiff_t expected;
};

TEST(XmlScan, SkipSpaceStopsAtTheFirstOtherCharacter) {
    const std::pair<const char*, std::ptrdiff_t> cases[] = {
        {"", 0}, {"x", 0}, {" \t\n\v\f\rx", 6}, {"   ", 3}, {"\x01x", 0}, {"\xa0x", 0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(SkipSpace(text) - text, expected) << text;
}

TEST(XmlScan, FindCharEscapedStepsOverEscapedCharacters) {
    const FindCase cases[] = {
        {"abc<d", '\\', 3}, {"abc", '\\', 3},   {"a\\<b<", '\\', 4}, {"a\\\\<b", '\\', 3},
        {"a\\<", '\\', 3},  {"a\\", '\\', 2},   {"\\", '\\', 1},     {"a\\<b<", '\0', 2},
        {"a#<b<", '#', 4},  {"a\\<b<", '#', 2}, {"<", '\\', 0},      {"", '\\', 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindCharEscaped(c.text, '<', c.esc) - c.text, c.expected) << c.text << " esc " << int(c.esc);
    }
}

TEST(XmlScan, FindAnyEscapedDoesNotProtectMembersOfTheSet) {
    const FindCase cases[] = {
        // An escape does not stop the scan itself, but the character after it
        // is tested as any other.
        {"ab cd", '\\', 2},
        {"ab\\ cd", '\\', 3},
        {"ab\\>cd", '\\', 3},
        {"ab\\", '\\', 3},
        {"\\\\ x", '\\', 2},
        {"\\", '\\', 1},
        {"abc", '\\', 3},
        {">", '\\', 0},
        // Without an escape character a backslash is just a member candidate.
        {"a\\b", '\0', 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindAnyEscaped(c.text, " >", c.esc) - c.text, c.expected) << c.text;
    }
    const char* withBackslash = "ab\\c";
    EXPECT_EQ(FindAnyEscaped(withBackslash, "\\", '\0') - withBackslash, 2);
}

TEST(XmlScan, FindMarkerIgnoresCaseAndEscapes) {
    struct Case {
        const char* text;
        const char* marker;
        char esc;
        std::ptrdiff_t expected;
        std::ptrdiff_t matchEnd;
    };
    const Case cases[] = {
        {"abc-->x", "-->", '\\', 3, 6},   {"<!-->", "-->", '\\', 2, 5}, {"abc]]", "]]>", '\\', 5, 5},
        {"x\\-->-->", "-->", '\\', 5, 8}, // the escaped "-" cannot start a match
        {"x-\\->y", "-->", '\\', 1, 5},   // an escape inside the match is skipped
        {"x-\\", "-->", '\\', 3, 3},      // an escape before the NUL ends the scan
        {"x--\\", "-->", '\\', 4, 4},     {"a?>", "?>", '\\', 1, 3},    {"AbC", "abc", '\0', 0, 3},
        {"x\\-->", "-->", '\0', 2, 5},    {"", "-->", '\\', 0, 0},
    };
    for (const auto& c : cases) {
        const char* end = nullptr;
        const char* found = FindMarker(c.text, c.marker, static_cast<int>(std::strlen(c.marker)), c.esc, &end);
        EXPECT_EQ(found - c.text, c.expected) << c.text;
        EXPECT_EQ(end - c.text, c.matchEnd) << c.text;
    }
}

TEST(XmlScan, StartMarkersIgnoreCaseAndNeverPassTheEnd) {
    EXPECT_TRUE(StartsWithNoCase("<![cdata[x", "<![CDATA[", 9));
    EXPECT_TRUE(StartsWithNoCase("<!--", "<!--", 4));
    EXPECT_FALSE(StartsWithNoCase("<!-", "<!--", 4));
    EXPECT_FALSE(StartsWithNoCase("<![CDAT", "<![CDATA[", 9));
    EXPECT_FALSE(StartsWithNoCase("", "<?", 2));
}

TEST(XmlScan, TextBetweenTrimsAndRemovesEscapes) {
    struct Case {
        const char* text;
        bool trim;
        char esc;
        const char* expected; // "(unchanged)" when out must keep its old text
    };
    const Case cases[] = {
        {"abc", false, '\\', "abc"},
        {"  a b  ", false, '\\', "  a b  "},
        {"  a b  ", true, '\\', "a b"},
        {"   ", true, '\\', "(unchanged)"},
        {"", false, '\\', "(unchanged)"},
        {"C:\\\\Temp", false, '\\', "C:\\Temp"},
        {"C:\\Temp", false, '\\', "C:Temp"},
        {"x\\'y", false, '\\', "x'y"},
        {"\\\\\\x", false, '\\', "\\x"},
        {"abc\\", false, '\\', "abc"},
        {"\\", false, '\\', ""},
        {"a\\b", false, '\0', "a\\b"},
        {"a#b##", false, '#', "ab#"},
        {" \\  ", true, '\\', ""},
    };
    for (const auto& c : cases) {
        std::string out = "(unchanged)";
        TextBetween(c.text, c.text + std::strlen(c.text), out, c.trim, c.esc);
        EXPECT_EQ(out, c.expected) << '"' << c.text << '"';
    }
    std::string out = "old";
    const char* text = "abc";
    TextBetween(text + 2, text + 1, out, false, '\\');
    EXPECT_EQ(out, "old") << "a range that ends before it starts is empty";
}

} // namespace
