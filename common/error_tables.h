// Code-to-text tables behind the error texts, each sorted by code.
//
// Each table is written as rows of code and text and packed by the compiler
// (PackErrorTexts): the program holds one block of NUL-terminated texts and,
// per row, a 16-bit code and a 16-bit offset into the block. A row then
// takes 4 bytes instead of the 16 of a code and a pointer, the texts need no
// relocation entries, and the linker drops a whole table, texts included,
// from a program that never looks into it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

struct ErrorTextEntry {
    std::uint32_t code;
    const char* text;
};

// One row of a table as written in the source.
struct ErrorTextRow {
    std::uint32_t code;
    std::string_view text;
};

template <std::size_t Count, std::size_t TextBytes>
struct PackedErrorTexts {
    std::uint16_t codes[Count];
    std::uint16_t offsets[Count];
    char texts[TextBytes];

    // The text for code, or nullptr when the table has none.
    const char* Find(std::uint32_t code) const {
        const std::uint16_t* end = codes + Count;
        const std::uint16_t* found = std::lower_bound(codes, end, code);
        return found != end && *found == code ? texts + offsets[found - codes] : nullptr;
    }

    // The row at index (0 to Count - 1).
    ErrorTextEntry Entry(std::size_t index) const { return {codes[index], texts + offsets[index]}; }
};

// The packed form of rows, which must be sorted by code, with codes of at
// most 16 bits, texts without NUL and all texts in 64 KiB; a table that does
// not fit fails to compile.
template <const auto& rows>
constexpr auto PackErrorTexts() {
    constexpr std::size_t count = std::size(rows);
    constexpr std::size_t textBytes = [] {
        std::size_t bytes = 0;
        for (const ErrorTextRow& row : rows) bytes += row.text.size() + 1;
        return bytes;
    }();
    constexpr bool fits = [] {
        for (std::size_t i = 0; i < count; ++i) {
            if (rows[i].code > 0xFFFF || rows[i].text.find('\0') != std::string_view::npos) return false;
            if (i > 0 && rows[i - 1].code >= rows[i].code) return false;
        }
        // The last text starts below the end, so this bounds every offset.
        return textBytes <= 0x10000;
    }();
    static_assert(fits, "codes must ascend and fit 16 bits, texts must fit 64 KiB");

    PackedErrorTexts<count, textBytes> table{};
    std::size_t offset = 0;
    for (std::size_t i = 0; i < count; ++i) {
        table.codes[i] = static_cast<std::uint16_t>(rows[i].code);
        table.offsets[i] = static_cast<std::uint16_t>(offset);
        for (char c : rows[i].text) table.texts[offset++] = c;
        table.texts[offset++] = '\0';
    }
    return table;
}

// The system table (system_error_table.cpp): its number of entries, the entry
// at index (0 to kSystemErrorTextCount - 1, in code order), and the text for
// code or nullptr when the table has none.
extern const std::size_t kSystemErrorTextCount;
ErrorTextEntry SystemErrorTextEntry(std::size_t index);
const char* FindSystemErrorText(std::uint32_t code);

// The extended error of the calling thread's last common dialog (per platform).
std::uint32_t LastCommDlgErrorCode();
