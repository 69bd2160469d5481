// The two operating-system facts a log record carries.
#pragma once

#include <cstdint>

// Milliseconds of a monotonic system clock, wrapping modulo 2^32
// (GetTickCount on Windows).
std::uint32_t LogTickCount();

// The calling thread's numeric identifier (GetCurrentThreadId on Windows,
// the kernel thread id on Linux).
unsigned long LogCurrentThreadId();
