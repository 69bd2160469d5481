#include "common/string_format.h"

#include <cstdio>

std::string StringFormatV(const char* format, va_list args) {
    if (format == nullptr) return {};
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < sizeof small) return std::string(small, length);

    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

std::string StringFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = StringFormatV(format, args);
    va_end(args);
    return text;
}

std::size_t FormatToBufferV(char* buffer, std::size_t size, const char* format, va_list args) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    if (format == nullptr) return 0;
    int length = std::vsnprintf(buffer, size, format, args);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<std::size_t>(length) < size ? static_cast<std::size_t>(length) : size - 1;
}

std::size_t FormatToBuffer(char* buffer, std::size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::size_t written = FormatToBufferV(buffer, size, format, args);
    va_end(args);
    return written;
}
