#include "log/log_platform.h"

#include "common/windows_api.h"

std::uint32_t LogTickCount() { return static_cast<std::uint32_t>(::GetTickCount()); }

unsigned long LogCurrentThreadId() { return static_cast<unsigned long>(::GetCurrentThreadId()); }
