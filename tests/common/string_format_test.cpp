#include "common/string_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(StringFormat, FormatsTextsOfAnyLength) {
    EXPECT_EQ(StringFormat("%s [%u]", "Access is denied.", 5u), "Access is denied. [5]");
    EXPECT_EQ(StringFormat("%lld %zu", -5000000000LL, std::size_t{7}), "-5000000000 7");
    const std::string long_text(5000, 'x');
    EXPECT_EQ(StringFormat("<%s>", long_text.c_str()), "<" + long_text + ">");
    EXPECT_EQ(StringFormat(nullptr), "");
}

TEST(FormatToBuffer, CutsLongTextsAtTheBuffer) {
    // Eight bytes are offered out of sixteen; the other eight must stay untouched.
    char storage[16];
    std::memset(storage, '#', sizeof storage);
    char* buffer = storage;
    EXPECT_EQ(FormatToBuffer(buffer, 8, "%s", "0123456789"), 7u);
    EXPECT_STREQ(buffer, "0123456");
    EXPECT_EQ(std::string(storage + 8, 8), "########");

    EXPECT_EQ(FormatToBuffer(buffer, 8, "%d", 42), 2u);
    EXPECT_STREQ(buffer, "42");
    EXPECT_EQ(FormatToBuffer(buffer, 1, "%s", "abc"), 0u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(FormatToBuffer(buffer, 0, "%s", "abc"), 0u);
    EXPECT_EQ(FormatToBuffer(nullptr, 10, "%s", "abc"), 0u);
}

} // namespace
