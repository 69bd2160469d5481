#include "common/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16Length, CountsTheUnitsWindowsMeasuresTextIn) {
    const struct {
        std::string text;
        std::size_t units;
    } cases[] = {
        {"", 0},
        {"C:\\Apps", 7},
        {std::string("a\0b", 3), 3},
        {"caf\xC3\xA9", 4},                  // two bytes, one unit
        {"\xE2\x82\xAC", 1},                 // three bytes, one unit
        {"\xF0\x9F\x98\x80", 2},             // above U+FFFF: a surrogate pair
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", 3}, // U+FFFF, U+10FFFF
        // Each byte that starts no well-formed sequence is one unit.
        {"\xFF", 1},
        {"\x80\x80", 2},
        {"\xC3", 1},             // cut short
        {"\xE2\x82\x41", 3},     // cut short, then "A"
        {"\xC0\xAF", 2},         // overlong
        {"\xED\xA0\x80", 3},     // a surrogate
        {"\xF4\x90\x80\x80", 4}, // above U+10FFFF
    };
    for (const auto& c : cases) EXPECT_EQ(Utf16Length(c.text), c.units) << c.text;
}

} // namespace
