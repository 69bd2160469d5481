// The small formatter against the C library's vsnprintf, which is the
// reference for every conversion it claims to handle.
#include "common/small_printf.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

int FloatWithLibrary(char* buffer, std::size_t size, const char* conversionText, double value) {
    return std::snprintf(buffer, size, conversionText, value);
}

std::string Small(std::size_t size, const char* format, ...) {
    std::string buffer(size + 1, '#');
    va_list arguments;
    va_start(arguments, format);
    const int length = SmallVsnprintf(buffer.data(), size, format, arguments, FloatWithLibrary);
    va_end(arguments);
    return std::to_string(length) + ":" + buffer;
}

std::string Library(std::size_t size, const char* format, ...) {
    std::string buffer(size + 1, '#');
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer.data(), size, format, arguments);
    va_end(arguments);
    return std::to_string(length) + ":" + buffer;
}

// The text and the returned length, "length:text", with room for all of it;
// floats are formatted only with withFloats.
std::string Text(bool withFloats, const char* format, ...) {
    char buffer[256];
    va_list arguments;
    va_start(arguments, format);
    const int length =
        SmallVsnprintf(buffer, sizeof buffer, format, arguments, withFloats ? FloatWithLibrary : nullptr);
    va_end(arguments);
    return std::to_string(length) + ":" + buffer;
}

// Both formatters on the same format and arguments, with a buffer large
// enough and one that cuts the output.
#define EXPECT_SAME(format, ...)                                                                                       \
    do {                                                                                                               \
        EXPECT_EQ(Small(128, format, __VA_ARGS__), Library(128, format, __VA_ARGS__)) << format;                       \
        EXPECT_EQ(Small(5, format, __VA_ARGS__), Library(5, format, __VA_ARGS__)) << format;                           \
    } while (0)

TEST(SmallPrintf, IntegersWithEveryFlagWidthAndPrecision) {
#ifdef _WIN32
    // MinGW's formatter is no reference here: it signs unsigned conversions
    // with "+" and " ", and writes nothing for "%#.0o" of 0. glibc follows C99.
    GTEST_SKIP() << "compared with glibc in the native builds";
#endif
    const char* const flagSets[] = {"", "-", "+", " ", "#", "0", "-+", "+0", " 0", "#0", "-#", "- "};
    const char* const widths[] = {"", "1", "7", "22"};
    const char* const precisions[] = {"", ".", ".0", ".1", ".5", ".25"};
    const long long values[] = {0, 1, -1, 7, 255, -4096, 123456789, LLONG_MAX, LLONG_MIN};
    for (const char* flags : flagSets)
        for (const char* width : widths)
            for (const char* precision : precisions)
                for (const char kind : std::string("diuoxX")) {
                    const std::string conversionText =
                        std::string("[%") + flags + width + precision + "ll" + kind + "]";
                    for (long long value : values) EXPECT_SAME(conversionText.c_str(), value);
                    const std::string plain = std::string("<%") + flags + width + precision + kind + ">";
                    for (long long value : values) EXPECT_SAME(plain.c_str(), static_cast<int>(value));
                }
}

TEST(SmallPrintf, LengthModifiersTakeTheirArgumentSize) {
    EXPECT_SAME("%hhd %hhu %hd %hu", 300, 300, 70000, 70000);
    EXPECT_SAME("%ld %lu %lx", -5L, ULONG_MAX, 0xABCDEFL);
    EXPECT_SAME("%zu %zd %td %jd %ju", std::size_t{42}, std::size_t{7}, std::ptrdiff_t{-9}, INTMAX_MIN, UINTMAX_MAX);
    EXPECT_EQ(Text(false, "%I64d %I32u %Iu", -5LL, 7u, std::size_t{9}), "6:-5 7 9");
}

TEST(SmallPrintf, StringsCharactersAndPercent) {
    for (const char* format : {"%s|", "%10s|", "%-10s|", "%.3s|", "%8.2s|", "%-8.0s|", "%.*s|"}) {
        if (std::string(format).find('*') != std::string::npos)
            EXPECT_SAME(format, 4, "text of some length");
        else
            EXPECT_SAME(format, "text of some length");
    }
    EXPECT_SAME("%c%c|%5c|%-5c|%%|%5%", 'a', 'b', 'c', 'd');
    EXPECT_SAME("%*d|%-*d|%*d|%.*d|%.*d", 6, 42, 6, 42, -6, 42, 4, 42, -1, 42);
    EXPECT_SAME("%s", "");
    EXPECT_SAME("plain text without conversions%s", "");
}

TEST(SmallPrintf, APrecisionBoundsTheReadOfAString) {
    const char unterminated[3] = {'a', 'b', 'c'};
    EXPECT_EQ(Text(false, "%.3s", unterminated), "3:abc");
}

TEST(SmallPrintf, WideTextsPointersAndOddities) {
    EXPECT_EQ(Text(false, "%ls|%lc", L"w\u00e9de", static_cast<wint_t>(L'x')), "6:w?de|x");
    int object = 0;
    char expected[32];
    std::snprintf(expected, sizeof expected, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(&object)));
    EXPECT_EQ(Text(false, "%p", static_cast<void*>(&object)), std::to_string(std::strlen(expected)) + ":" + expected);
    EXPECT_EQ(Text(false, "%s", static_cast<const char*>(nullptr)), "6:(null)");
    EXPECT_EQ(Text(false, "a%yb"), "4:a%yb") << "not a conversion: kept";
    int count = 0;
    EXPECT_EQ(Text(false, "ab%nc", &count), "3:abc");
}

TEST(SmallPrintf, FloatsGoToTheFloatFormatter) {
    EXPECT_SAME("%f|%.2f|%10.3e|%-8g|%+G|%#.0f|%a", 3.14159, 2.5, 12345.678, 0.0001, 1e20, 7.0, 1.5);
    EXPECT_SAME("%Lf", 2.25L);
    EXPECT_SAME("%*.*f|", 12, 3, -1.0 / 3);
    EXPECT_EQ(Text(false, "a%fb%.3e", 1.0, 2.0), "2:ab") << "no float formatter: nothing written";
}

TEST(SmallPrintf, FollowsC99WhereFormattersDiffer) {
    EXPECT_EQ(Text(false, "%+u|% u|%#.0o|%#.0x", 5u, 5u, 0u, 0u), "6:5|5|0|");
}

TEST(SmallPrintf, CountsWhatDoesNotFitAndTerminatesWithinTheSize) {
    EXPECT_SAME("%d and %s", 12345, "a longer text");
    EXPECT_EQ(Small(0, "%d", 12345), "5:#") << "size 0 writes nothing";
    EXPECT_EQ(Small(1, "%d", 12345), std::string("5:") + '\0' + "#");
    // A width far beyond the buffer is counted, not written.
    EXPECT_EQ(Small(4, "%100000d", 1), std::string("100000:   ") + '\0' + "#");
}

TEST(SmallPrintf, RandomConversionsMatchTheLibrary) {
#ifdef _WIN32
    // MinGW's formatter is no reference here: it signs unsigned conversions
    // with "+" and " ", and writes nothing for "%#.0o" of 0. glibc follows C99.
    GTEST_SKIP() << "compared with glibc in the native builds";
#endif
    std::mt19937 random(11);
    const std::string flags = "-+ #0";
    for (int i = 0; i < 20000; ++i) {
        std::string conversionText = "%";
        for (char flag : flags)
            if (random() % 4 == 0) conversionText += flag;
        if (random() % 2) conversionText += std::to_string(random() % 30);
        if (random() % 2) conversionText += "." + std::to_string(random() % 30);
        const std::string kinds = "diuoxX";
        conversionText += "ll";
        conversionText += kinds[random() % kinds.size()];
        const long long value =
            static_cast<long long>((static_cast<std::uint64_t>(random()) << 32) | random()) >> (random() % 64);
        const std::size_t size = random() % 40;
        ASSERT_EQ(Small(size, conversionText.c_str(), value), Library(size, conversionText.c_str(), value))
            << conversionText << " " << value;
    }
}

} // namespace
