#include "common/error_texts.h"

#include "common/error_tables.h"
#include "common/string_format.h"
#include "common/windows_api.h"

#include <commdlg.h>

#include <cstring>

std::uint32_t LastCommDlgErrorCode() { return ::CommDlgExtendedError(); }

std::string FormatSystemMessage(std::uint32_t code) {
    // Insertion markers are left as written: without them the call would read
    // argument values that nobody passed.
    const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    char* message = nullptr;
    DWORD length = ::FormatMessageA(flags, nullptr, code, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    if (length == 0 || message == nullptr) return StringFormat("[Unknown error code:%u]", code);

    std::string text(message, std::strcspn(message, "\r\n"));
    ::LocalFree(message);
    return StringFormat("%s [%u]", text.c_str(), code);
}
