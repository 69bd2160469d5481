#include "common/standard_streams.h"

#include "common/windows_api.h"

#include <algorithm>
#include <string>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

// Consoles before Windows 8 fail a write of more than some tens of
// kilobytes; pieces of this size go through everywhere.
constexpr std::size_t kConsolePiece = 8192;
// A DWORD counts the bytes of one WriteFile.
constexpr std::size_t kFilePiece = std::size_t{1} << 30;

HANDLE Handle(StandardStream stream) {
    return ::GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }

bool IsConsole(HANDLE handle) {
    DWORD mode;
    return ::GetConsoleMode(handle, &mode) != FALSE;
}

// The end of a console piece starting at data: at most kConsolePiece bytes,
// moved back to the start of a UTF-8 character when one is cut, so that no
// character is split between two writes.
std::size_t ConsolePieceSize(const char* data, std::size_t size) {
    if (size <= kConsolePiece) return size;
    std::size_t end = kConsolePiece;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(data[end]) & 0xC0) == 0x80; ++back) --end;
    return (static_cast<unsigned char>(data[end]) & 0xC0) == 0x80 ? kConsolePiece : end;
}

bool WriteAll(HANDLE handle, const char* data, std::size_t size) {
    const bool console = IsConsole(handle);
    while (size != 0) {
        const std::size_t piece = console ? ConsolePieceSize(data, size) : std::min(size, kFilePiece);
        DWORD written = 0;
        if (!::WriteFile(handle, data, static_cast<DWORD>(piece), &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

// text with a CR put in front of each LF; with keepCrLf, not in front of an
// LF that already follows one (within text: a CR written by an earlier call
// is not seen).
std::string WithCarriageReturns(std::string_view text, bool keepCrLf) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && !(keepCrLf && i != 0 && text[i - 1] == '\r')) lines += '\r';
        lines += text[i];
    }
    return lines;
}

} // namespace

bool IsTerminal(StandardStream stream) { return IsConsole(Handle(stream)); }

bool WriteBytes(StandardStream stream, const char* data, std::size_t size) {
    const HANDLE handle = Handle(stream);
    return IsValid(handle) && WriteAll(handle, data, size);
}

void WriteText(StandardStream stream, std::string_view text) {
    const HANDLE handle = Handle(stream);
    if (!IsValid(handle) || text.empty()) return;
    const std::string lines = WithCarriageReturns(text, true);
    if (!IsConsole(handle)) {
        WriteAll(handle, lines.data(), lines.size());
        return;
    }
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), wide.data(), units);
    DWORD written = 0;
    ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

void WriteCodePageText(StandardStream stream, std::string_view text) {
    const std::string lines = WithCarriageReturns(text, false);
    WriteBytes(stream, lines.data(), lines.size());
}

TerminalSession::TerminalSession() {
    const HANDLE handle = Handle(StandardStream::Output);
    DWORD mode = 0;
    terminal_ = ::GetConsoleMode(handle, &mode) != FALSE;
    if (!terminal_) return;
    savedMode_ = mode;
    restoreMode_ = true;
    passesEscapes_ =
        ::SetConsoleMode(handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != FALSE;
    savedCodePage_ = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(CP_UTF8);
}

TerminalSession::~TerminalSession() {
    if (!restoreMode_) return;
    const HANDLE handle = Handle(StandardStream::Output);
    ::SetConsoleMode(handle, savedMode_);
    if (savedCodePage_ != 0) ::SetConsoleOutputCP(savedCodePage_);
}
