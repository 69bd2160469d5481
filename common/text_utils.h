// Small text helpers of the logging framework.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits text at every character that occurs in delimiters into pieces
// (replacing its content) and returns their number. Adjacent delimiters give
// empty pieces; an empty text gives one empty piece.
int SplitByChars(std::string_view text, std::string_view delimiters, std::vector<std::string>& pieces);

// text padded with spaces to at least width characters; the spaces go before
// the text when padBefore is set (right-justified), after it otherwise.
std::string PadString(std::string_view text, std::size_t width, bool padBefore);

// Comparisons of ASCII letters without regard to case.
bool EqualsIgnoringCase(std::string_view text, std::string_view other);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// text without the spaces and tabs at both ends.
std::string_view TrimBlanks(std::string_view text);

// The decimal text of value ("%u").
std::string UIntToText(std::uint32_t value);

// The 64-bit value of a decimal text: leading blanks, an optional sign, then
// digits up to the first other character; 0 without digits. Values beyond the
// 64-bit range are clamped to it.
std::int64_t TextToInt64(std::string_view text);

// The value of a text of decimal digits only, at most limit: no blanks, no
// sign. False for anything else (value is then unspecified).
bool ParseDecimal(std::string_view text, std::uint64_t limit, std::uint64_t& value);
