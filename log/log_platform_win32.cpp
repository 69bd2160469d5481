#include "log/log_platform.h"

#include "common/windows_api.h"

#include <cstdlib>
#include <string>

std::uint32_t LogTickCount() { return static_cast<std::uint32_t>(::GetTickCount()); }

unsigned long LogCurrentThreadId() { return static_cast<unsigned long>(::GetCurrentThreadId()); }

void WriteDebugOutput(std::string_view text) {
    // The call takes a NUL-terminated text.
    const std::string copy(text);
    ::OutputDebugStringA(copy.c_str());
}

void LogSleepMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

namespace {

// The release function of the one slot; a fiber-local callback receives
// only the value.
void (*gSlotRelease)(void*) = nullptr;

VOID WINAPI ReleaseAtThreadEnd(PVOID value) {
    if (value != nullptr && gSlotRelease != nullptr) gSlotRelease(value);
}

} // namespace

LogThreadSlot::LogThreadSlot(void (*release)(void*)) {
    gSlotRelease = release;
    const DWORD index = ::FlsAlloc(&ReleaseAtThreadEnd);
    // Without a slot no record could be kept per thread: nothing sensible remains.
    if (index == FLS_OUT_OF_INDEXES) std::abort();
    key_ = index;
}

void* LogThreadSlot::get() const { return ::FlsGetValue(static_cast<DWORD>(key_)); }

void LogThreadSlot::set(void* value) const { ::FlsSetValue(static_cast<DWORD>(key_), value); }
