#include "common/windows_api.h"
#include "win32/clipboard.h"

#include <cstring>

bool CopyTextToClipboard(std::string_view text) {
    if (!::OpenClipboard(nullptr)) return false;
    bool stored = false;
    if (::EmptyClipboard()) {
        if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            if (auto* copy = static_cast<char*>(::GlobalLock(memory))) {
                std::memcpy(copy, text.data(), text.size());
                copy[text.size()] = '\0';
                ::GlobalUnlock(memory);
                // On success the clipboard owns the memory.
                stored = ::SetClipboardData(CF_TEXT, memory) != nullptr;
            }
            if (!stored) ::GlobalFree(memory);
        }
    }
    ::CloseClipboard();
    return stored;
}
