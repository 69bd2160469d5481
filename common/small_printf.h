// A small printf-style formatter with the C99 vsnprintf contract, for
// programs whose size matters more than the breadth of the C runtime's
// formatter (the installer stub, which is prefixed to every installer).
//
// Handles the flags "-+ #0", widths and precisions (also "*"), the length
// modifiers hh, h, l, ll, j, z, t, L and Microsoft's I, I32, I64, and the
// conversions d i u o x X c s p % exactly as C99 describes them. "%ls" and
// "%lc" write each wide character below 128 as itself and any other as "?".
// "%p" writes "0x" and the lowercase hexadecimal address. "%n" stores
// nothing. Floating-point conversions (e E f F g G a A) are handed, one at a
// time, to the FloatFormatter given; without one they write nothing. Any
// other character after "%" is written as it stands, with the "%".
#pragma once

#include <cstdarg>
#include <cstddef>

// Formats one floating-point conversion: conversionText is the whole conversion ("%-8.3f"
// and the like, without length modifier, NUL-terminated), value its argument.
// Same contract as snprintf.
using FloatFormatter = int (*)(char* buffer, std::size_t size, const char* conversionText, double value);

// Writes at most size - 1 characters and a NUL (nothing when size is 0) and
// returns the length the whole output has, as vsnprintf does; -1 when that
// length does not fit an int.
int SmallVsnprintf(char* buffer, std::size_t size, const char* format, std::va_list arguments,
                   FloatFormatter formatFloat = nullptr);
