#include "common/error_texts.h"

#include "common/error_tables.h"
#include "common/string_format.h"

// There are no common dialogs here, so there is never an extended error.
std::uint32_t LastCommDlgErrorCode() { return 0; }

// The system's own message table is the English table that the Windows build
// also uses for SystemErrorText.
std::string FormatSystemMessage(std::uint32_t code) {
    if (const char* text = FindSystemErrorText(code)) return StringFormat("%s [%u]", text, code);
    return StringFormat("[Unknown error code:%u]", code);
}
