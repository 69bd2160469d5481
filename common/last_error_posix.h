// POSIX side of the last-error stand-in: errno to Win32 code.
#pragma once

#include <cstdint>

// The Win32 code of the same meaning as errno value err (31, "A device attached
// to the system is not functioning.", for values without a closer match).
std::uint32_t Win32ErrorFromErrno(int err);

// Sets the thread's last error from errno value err.
void SetLastErrorFromErrno(int err);
