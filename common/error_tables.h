// Code-to-text tables behind the error texts, each sorted by code.
#pragma once

#include <cstddef>
#include <cstdint>

struct ErrorTextEntry {
    std::uint32_t code;
    const char* text;
};

// The system table (system_error_table.cpp): its number of entries, the entry
// at index (0 to kSystemErrorTextCount - 1, in code order), and the text for
// code or nullptr when the table has none.
extern const std::size_t kSystemErrorTextCount;
ErrorTextEntry SystemErrorTextEntry(std::size_t index);
const char* FindSystemErrorText(std::uint32_t code);

// The entry for code, or nullptr when the table has none.
const ErrorTextEntry* FindErrorText(const ErrorTextEntry* table, std::size_t count, std::uint32_t code);

// The extended error of the calling thread's last common dialog (per platform).
std::uint32_t LastCommDlgErrorCode();
