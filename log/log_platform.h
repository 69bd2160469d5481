// The operating-system facts a log record carries, and the debugger's output.
#pragma once

#include <cstdint>
#include <string_view>

// Milliseconds of a monotonic system clock, wrapping modulo 2^32
// (GetTickCount on Windows).
std::uint32_t LogTickCount();

// The calling thread's numeric identifier (GetCurrentThreadId on Windows,
// the kernel thread id on Linux).
unsigned long LogCurrentThreadId();

// Hands text to the debugger (OutputDebugStringA on Windows; standard error,
// unbuffered, on POSIX).
void WriteDebugOutput(std::string_view text);

// Suspends the calling thread for the given milliseconds (Sleep on Windows;
// std::thread's sleep would bring the threads runtime into the installer).
void LogSleepMilliseconds(std::uint32_t milliseconds);
