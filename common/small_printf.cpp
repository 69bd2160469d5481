#include "common/small_printf.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <cwchar>

namespace {

// The output: characters past the buffer are counted, not written.
class Output {
public:
    Output(char* buffer, std::size_t size) : buffer_(buffer), size_(size) {}
    void Put(char c) {
        if (length_ + 1 < size_) buffer_[length_] = c;
        ++length_;
    }
    void Repeat(char c, std::size_t count) {
        if (const std::size_t room = Room(count)) std::memset(buffer_ + length_, c, room);
        length_ += count;
    }
    void Write(const char* text, std::size_t count) {
        if (const std::size_t room = Room(count)) std::memcpy(buffer_ + length_, text, room);
        length_ += count;
    }
    int Finish() {
        if (size_ != 0) buffer_[length_ < size_ ? length_ : size_ - 1] = '\0';
        return length_ > static_cast<std::size_t>(INT_MAX) ? -1 : static_cast<int>(length_);
    }

private:
    // How many of count characters from the current length still fit
    // before the place kept for the NUL.
    std::size_t Room(std::size_t count) const {
        if (length_ + 1 >= size_) return 0;
        const std::size_t free = size_ - 1 - length_;
        return count < free ? count : free;
    }

    char* buffer_;
    std::size_t size_;
    std::size_t length_ = 0;
};

enum class Length { Default, Char, Short, Long, LongLong, IntMax, Size, PtrDiff, LongDouble };

struct Conversion {
    bool left = false, plus = false, space = false, alternate = false, zero = false;
    std::size_t width = 0;
    int precision = -1; // -1: none given
    Length length = Length::Default;
};

// The digits of value in base, least significant first; returns their count.
std::size_t Digits(std::uintmax_t value, unsigned base, bool upper, char* digits) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::size_t count = 0;
    do {
        digits[count++] = set[value % base];
        value /= base;
    } while (value != 0);
    return count;
}

void PutInteger(Output& out, const Conversion& conversion, std::uintmax_t magnitude, bool negative, char kind) {
    const unsigned base = kind == 'o' ? 8 : (kind == 'x' || kind == 'X' || kind == 'p') ? 16 : 10;
    char digits[sizeof(std::uintmax_t) * 3];
    std::size_t digitCount = Digits(magnitude, base, kind == 'X', digits);
    if (magnitude == 0 && conversion.precision == 0) digitCount = 0; // "%.0d" of 0 is empty
    std::size_t zeros = conversion.precision > static_cast<int>(digitCount) ? conversion.precision - digitCount : 0;
    // "%#o" makes the first digit a 0.
    if (kind == 'o' && conversion.alternate && zeros == 0 && (digitCount == 0 || digits[digitCount - 1] != '0'))
        zeros = 1;

    char prefix[2];
    std::size_t prefixLength = 0;
    if (negative)
        prefix[prefixLength++] = '-';
    else if ((kind == 'd' || kind == 'i') && conversion.plus)
        prefix[prefixLength++] = '+';
    else if ((kind == 'd' || kind == 'i') && conversion.space)
        prefix[prefixLength++] = ' ';
    else if (kind == 'p' || ((kind == 'x' || kind == 'X') && conversion.alternate && magnitude != 0)) {
        prefix[prefixLength++] = '0';
        prefix[prefixLength++] = kind == 'X' ? 'X' : 'x';
    }

    const std::size_t content = prefixLength + zeros + digitCount;
    const std::size_t padding = conversion.width > content ? conversion.width - content : 0;
    // The 0 flag pads with zeros after the sign, unless a precision is given.
    if (!conversion.left && conversion.zero && conversion.precision < 0) {
        zeros += padding;
    } else if (!conversion.left) {
        out.Repeat(' ', padding);
    }
    out.Write(prefix, prefixLength);
    out.Repeat('0', zeros);
    while (digitCount != 0) out.Put(digits[--digitCount]);
    if (conversion.left) out.Repeat(' ', padding);
}

void PutPadded(Output& out, const Conversion& conversion, std::size_t length, const auto& write) {
    const std::size_t padding = conversion.width > length ? conversion.width - length : 0;
    if (!conversion.left) out.Repeat(' ', padding);
    write();
    if (conversion.left) out.Repeat(' ', padding);
}

char Narrow(wchar_t c) { return static_cast<unsigned>(c) < 128 ? static_cast<char>(c) : '?'; }

void PutString(Output& out, const Conversion& conversion, const char* text) {
    if (text == nullptr) text = "(null)";
    // Never read past the precision: the text need not be terminated there.
    std::size_t length = 0;
    while ((conversion.precision < 0 || length < static_cast<std::size_t>(conversion.precision)) &&
           text[length] != '\0')
        ++length;
    PutPadded(out, conversion, length, [&] { out.Write(text, length); });
}

void PutWideString(Output& out, const Conversion& conversion, const wchar_t* text) {
    if (text == nullptr) return PutString(out, conversion, nullptr);
    std::size_t length = 0;
    while ((conversion.precision < 0 || length < static_cast<std::size_t>(conversion.precision)) &&
           text[length] != L'\0')
        ++length;
    PutPadded(out, conversion, length, [&] {
        for (std::size_t i = 0; i < length; ++i) out.Put(Narrow(text[i]));
    });
}

std::uintmax_t UnsignedArgument(std::va_list& arguments, Length length) {
    switch (length) {
    case Length::Char:
        return static_cast<unsigned char>(va_arg(arguments, unsigned));
    case Length::Short:
        return static_cast<unsigned short>(va_arg(arguments, unsigned));
    case Length::Long:
        return va_arg(arguments, unsigned long);
    case Length::LongLong:
        return va_arg(arguments, unsigned long long);
    case Length::IntMax:
        return va_arg(arguments, std::uintmax_t);
    case Length::Size:
        return va_arg(arguments, std::size_t);
    case Length::PtrDiff:
        return static_cast<std::uintmax_t>(va_arg(arguments, std::ptrdiff_t));
    default:
        return va_arg(arguments, unsigned);
    }
}

std::intmax_t SignedArgument(std::va_list& arguments, Length length) {
    switch (length) {
    case Length::Char:
        return static_cast<signed char>(va_arg(arguments, int));
    case Length::Short:
        return static_cast<short>(va_arg(arguments, int));
    case Length::Long:
        return va_arg(arguments, long);
    case Length::LongLong:
        return va_arg(arguments, long long);
    case Length::IntMax:
        return va_arg(arguments, std::intmax_t);
    case Length::Size:
        return static_cast<std::intmax_t>(va_arg(arguments, std::size_t));
    case Length::PtrDiff:
        return va_arg(arguments, std::ptrdiff_t);
    default:
        return va_arg(arguments, int);
    }
}

// A wide character passed through "...": promoted to int where it is smaller.
std::wint_t WideCharacterArgument(std::va_list& arguments) {
    if constexpr (sizeof(std::wint_t) < sizeof(int))
        return static_cast<std::wint_t>(va_arg(arguments, int));
    else
        return va_arg(arguments, std::wint_t);
}

// A non-negative number written in the format; stops at the first non-digit.
std::size_t ParseNumber(const char*& format) {
    std::size_t value = 0;
    while (*format >= '0' && *format <= '9') {
        if (value < INT_MAX) value = value * 10 + static_cast<std::size_t>(*format - '0');
        ++format;
    }
    return value;
}

Length ParseLength(const char*& format) {
    switch (*format) {
    case 'h':
        ++format;
        if (*format == 'h') return ++format, Length::Char;
        return Length::Short;
    case 'l':
        ++format;
        if (*format == 'l') return ++format, Length::LongLong;
        return Length::Long;
    case 'j':
        return ++format, Length::IntMax;
    case 'z':
        return ++format, Length::Size;
    case 't':
        return ++format, Length::PtrDiff;
    case 'L':
        return ++format, Length::LongDouble;
    case 'I':
        if (format[1] == '6' && format[2] == '4') return format += 3, Length::LongLong;
        if (format[1] == '3' && format[2] == '2') return format += 3, Length::Default;
        return ++format, Length::Size;
    default:
        return Length::Default;
    }
}

// Rebuilds the conversion for the float formatter, with the width and
// precision as numbers.
void PutFloat(Output& out, const Conversion& conversion, char kind, double value, FloatFormatter formatFloat) {
    if (formatFloat == nullptr) return;
    char conversionText[48];
    std::size_t at = 0;
    conversionText[at++] = '%';
    if (conversion.left) conversionText[at++] = '-';
    if (conversion.plus) conversionText[at++] = '+';
    if (conversion.space) conversionText[at++] = ' ';
    if (conversion.alternate) conversionText[at++] = '#';
    if (conversion.zero) conversionText[at++] = '0';
    char digits[sizeof(std::size_t) * 3];
    if (conversion.width != 0)
        for (std::size_t n = Digits(conversion.width, 10, false, digits); n != 0;) conversionText[at++] = digits[--n];
    if (conversion.precision >= 0) {
        conversionText[at++] = '.';
        for (std::size_t n = Digits(static_cast<std::uintmax_t>(conversion.precision), 10, false, digits); n != 0;)
            conversionText[at++] = digits[--n];
    }
    conversionText[at++] = kind;
    conversionText[at] = '\0';
    char text[512];
    const int length = formatFloat(text, sizeof text, conversionText, value);
    if (length <= 0) return;
    if (static_cast<std::size_t>(length) < sizeof text) return out.Write(text, static_cast<std::size_t>(length));
    // Longer than the buffer (huge widths or values): format once more at size.
    char* large = new char[static_cast<std::size_t>(length) + 1];
    formatFloat(large, static_cast<std::size_t>(length) + 1, conversionText, value);
    out.Write(large, static_cast<std::size_t>(length));
    delete[] large;
}

} // namespace

int SmallVsnprintf(char* buffer, std::size_t size, const char* format, std::va_list arguments,
                   FloatFormatter formatFloat) {
    Output out(buffer, size);
    std::va_list list;
    va_copy(list, arguments);
    while (*format != '\0') {
        if (*format != '%') {
            const char* literal = format;
            while (*format != '\0' && *format != '%') ++format;
            out.Write(literal, static_cast<std::size_t>(format - literal));
            continue;
        }
        const char* start = format++;
        Conversion conversion;
        for (bool flag = true; flag;) {
            switch (*format) {
            case '-':
                conversion.left = true;
                break;
            case '+':
                conversion.plus = true;
                break;
            case ' ':
                conversion.space = true;
                break;
            case '#':
                conversion.alternate = true;
                break;
            case '0':
                conversion.zero = true;
                break;
            default:
                flag = false;
                continue;
            }
            ++format;
        }
        if (*format == '*') {
            ++format;
            const int width = va_arg(list, int);
            if (width < 0) conversion.left = true;
            conversion.width = width < 0 ? 0u - static_cast<unsigned>(width) : static_cast<unsigned>(width);
        } else {
            conversion.width = ParseNumber(format);
        }
        if (*format == '.') {
            ++format;
            if (*format == '*') {
                ++format;
                const int precision = va_arg(list, int);
                conversion.precision = precision < 0 ? -1 : precision;
            } else {
                conversion.precision = static_cast<int>(ParseNumber(format));
            }
        }
        conversion.length = ParseLength(format);

        const char kind = *format;
        if (kind != '\0') ++format;
        switch (kind) {
        case 'd':
        case 'i': {
            const std::intmax_t value = SignedArgument(list, conversion.length);
            const std::uintmax_t magnitude =
                value < 0 ? std::uintmax_t{0} - static_cast<std::uintmax_t>(value) : static_cast<std::uintmax_t>(value);
            PutInteger(out, conversion, magnitude, value < 0, kind);
            break;
        }
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            PutInteger(out, conversion, UnsignedArgument(list, conversion.length), false, kind);
            break;
        case 'p': {
            Conversion pointer = conversion;
            pointer.precision = -1;
            PutInteger(out, pointer, reinterpret_cast<std::uintptr_t>(va_arg(list, void*)), false, 'p');
            break;
        }
        case 'c': {
            const char c = conversion.length == Length::Long ? Narrow(static_cast<wchar_t>(WideCharacterArgument(list)))
                                                             : static_cast<char>(va_arg(list, int));
            PutPadded(out, conversion, 1, [&] { out.Put(c); });
            break;
        }
        case 's':
            if (conversion.length == Length::Long)
                PutWideString(out, conversion, va_arg(list, const wchar_t*));
            else
                PutString(out, conversion, va_arg(list, const char*));
            break;
        case 'n':
            va_arg(list, void*);
            break;
        case '%':
            out.Put('%');
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A': {
            const double value = conversion.length == Length::LongDouble
                                     ? static_cast<double>(va_arg(list, long double))
                                     : va_arg(list, double);
            PutFloat(out, conversion, kind, value, formatFloat);
            break;
        }
        default:
            // Not a conversion: written as it stands.
            out.Write(start, static_cast<std::size_t>(format - start));
            break;
        }
    }
    va_end(list);
    return out.Finish();
}
