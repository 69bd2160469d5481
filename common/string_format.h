// printf-style formatting into owned strings and bounded buffers.
// Every quoted text of the system that carries values is produced here.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// MinGW's g++ takes plain "printf" for the Microsoft runtime's dialect; the
// C99 dialect that the formatting here uses is "gnu_printf", which clang
// does not know (it has only the one dialect).
#if defined(__clang__)
#define ZOR_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define ZOR_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#endif

// Returns the formatted text, whatever its length.
std::string StringFormat(const char* format, ...) ZOR_PRINTF_FORMAT(1, 2);
std::string StringFormatV(const char* format, va_list args);

// Writes at most size - 1 characters and a terminating NUL into buffer (nothing
// when size is 0): a longer text is cut, never written past the buffer.
// Returns the number of characters written, without the NUL.
std::size_t FormatToBuffer(char* buffer, std::size_t size, const char* format, ...) ZOR_PRINTF_FORMAT(3, 4);
std::size_t FormatToBufferV(char* buffer, std::size_t size, const char* format, va_list args);
