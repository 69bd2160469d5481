#include "log/log_platform.h"

#include "common/windows_api.h"

#include <string>

std::uint32_t LogTickCount() { return static_cast<std::uint32_t>(::GetTickCount()); }

unsigned long LogCurrentThreadId() { return static_cast<unsigned long>(::GetCurrentThreadId()); }

void WriteDebugOutput(std::string_view text) {
    // The call takes a NUL-terminated text.
    const std::string copy(text);
    ::OutputDebugStringA(copy.c_str());
}

void LogSleepMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
