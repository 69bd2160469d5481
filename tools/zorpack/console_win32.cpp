#include "tools/zorpack/console.h"

#include "common/windows_api.h"

#include <string>

namespace zorpack {

namespace {

HANDLE Handle(StandardStream stream) {
    return ::GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE handle) {
    DWORD mode;
    return ::GetConsoleMode(handle, &mode) != FALSE;
}

// Windows text: every line ends with CR LF.
std::string WithCarriageReturns(const char* data, std::size_t size) {
    std::string text;
    text.reserve(size + size / 32);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r')) text += '\r';
        text += data[i];
    }
    return text;
}

} // namespace

bool IsTerminal(StandardStream stream) { return IsConsole(Handle(stream)); }

void WriteStandardStream(StandardStream stream, const char* data, std::size_t size) {
    const HANDLE handle = Handle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || size == 0) return;
    const std::string text = WithCarriageReturns(data, size);
    if (IsConsole(handle)) {
        const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(units), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
        DWORD written = 0;
        ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        if (!::WriteFile(handle, text.data() + done, static_cast<DWORD>(text.size() - done), &written, nullptr) ||
            written == 0)
            return; // nowhere to report it: the output is gone
        done += written;
    }
}

} // namespace zorpack
