// Code-to-text tables behind the error texts, each sorted by code.
#pragma once

#include <cstddef>
#include <cstdint>

struct ErrorTextEntry {
    std::uint32_t code;
    const char* text;
};

extern const ErrorTextEntry kSystemErrorTexts[];
extern const std::size_t kSystemErrorTextCount;

// The entry for code, or nullptr when the table has none.
const ErrorTextEntry* FindErrorText(const ErrorTextEntry* table, std::size_t count, std::uint32_t code);

// The extended error of the calling thread's last common dialog (per platform).
std::uint32_t LastCommDlgErrorCode();
