#include "common/utf8.h"

#include <cstdint>

namespace {

// Decodes the character at text[at]; 0 when the bytes there are not a
// well-formed sequence. length receives the sequence's byte count.
char32_t DecodeAt(std::string_view text, std::size_t at, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    length = 1;
    if (lead < 0x80) return lead;
    char32_t minimum;
    char32_t value;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    return value;
}

void Encode(char32_t value, std::string& out) {
    if (value < 0x80) {
        out += static_cast<char>(value);
    } else if (value < 0x800) {
        out += static_cast<char>(0xC0 | (value >> 6));
        out += static_cast<char>(0x80 | (value & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (value >> 12));
        out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (value & 0x3F));
    }
}

// The lower-case letter of value in the folded alphabets, or value itself.
// Every mapping stays within its encoded length (below U+0800).
char32_t LowerLetter(char32_t value) {
    if (value >= 'A' && value <= 'Z') return value + 0x20;
    if (value >= 0xC0 && value <= 0xDE && value != 0xD7) return value + 0x20; // Latin-1
    if (value >= 0x100 && value <= 0x17F) {                                   // Latin Extended-A: pairs
        if (value == 0x130 || value == 0x131 || value == 0x138 || value == 0x149 || value == 0x17F) return value;
        if (value == 0x178) return 0xFF;
        const bool oddUpper = (value >= 0x139 && value <= 0x148) || (value >= 0x179 && value <= 0x17E);
        if (oddUpper) return value % 2 == 1 ? value + 1 : value;
        return value % 2 == 0 ? value + 1 : value;
    }
    if (value >= 0x391 && value <= 0x3A9 && value != 0x3A2) return value + 0x20; // Greek
    if (value >= 0x410 && value <= 0x42F) return value + 0x20;                   // Cyrillic
    if (value >= 0x400 && value <= 0x40F) return value + 0x50;
    return value;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); at += length)
        if (DecodeAt(text, at, length) == 0 && text[at] != '\0') return false;
    return true;
}

std::size_t Utf16Length(std::string_view text) {
    std::size_t units = 0;
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); at += length) {
        const char32_t value = DecodeAt(text, at, length);
        if (value == 0) length = 1; // a NUL, or a byte that starts no sequence
        units += value > 0xFFFF ? 2 : 1;
    }
    return units;
}

std::string FoldCaseUtf8(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); at += length) {
        const char32_t value = DecodeAt(text, at, length);
        if (value == 0 || value >= 0x800) {
            folded.append(text.substr(at, length));
            continue;
        }
        Encode(LowerLetter(value), folded);
    }
    return folded;
}

std::u16string ToUtf16(std::string_view text) {
    std::u16string units;
    std::size_t length = 0;
    for (std::size_t at = 0; at < text.size(); at += length) {
        char32_t value = DecodeAt(text, at, length);
        if (value == 0 && text[at] != '\0') {
            value = 0xFFFD;
            length = 1;
        }
        if (value > 0xFFFF) {
            units += static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
        } else {
            units += static_cast<char16_t>(value);
        }
    }
    return units;
}
