// UTF-8, the encoding of every name and text of the system.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True when text is well-formed UTF-8: no stray continuation byte, no
// sequence cut short, no overlong form, no surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The number of UTF-16 code units text converts to, the length Windows
// measures a path in: 2 for a character above U+FFFF, 1 for any other. A
// byte that does not start a well-formed sequence counts as 1, the one
// replacement character it converts to; the bytes after it are counted
// anew.
std::size_t Utf16Length(std::string_view text);

// text in UTF-16, Utf16Length(text) code units: a byte that does not start a
// well-formed sequence becomes U+FFFD.
std::u16string ToUtf16(std::string_view text);

// text with its letters folded to lower case as Windows compares file names,
// for the alphabets where that folding is one letter to one letter of the
// same encoded length or a fixed offset: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic. Other characters, and bytes that are not well-formed
// UTF-8, are kept as they are.
std::string FoldCaseUtf8(std::string_view text);
