#include "log/log_platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <pthread.h>
#include <string>
#include <sys/syscall.h>
#include <thread>
#include <time.h>
#include <unistd.h>

std::uint32_t LogTickCount() {
    // Read on every record. The coarse clock ticks every few milliseconds,
    // as GetTickCount does, and costs a fraction of the precise one.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    const std::uint64_t ms =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

// Asked once per thread: the identifier never changes and the call is a system call.
unsigned long LogCurrentThreadId() {
    thread_local const unsigned long id = static_cast<unsigned long>(::syscall(SYS_gettid));
    return id;
}

void WriteDebugOutput(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stderr); }

void LogSleepMilliseconds(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LogThreadSlot::LogThreadSlot(void (*release)(void*)) {
    pthread_key_t key;
    // Without a key no record could be kept per thread: nothing sensible remains.
    if (::pthread_key_create(&key, release) != 0) std::abort();
    key_ = static_cast<std::uintptr_t>(key);
}

void* LogThreadSlot::get() const { return ::pthread_getspecific(static_cast<pthread_key_t>(key_)); }

void LogThreadSlot::set(void* value) const { ::pthread_setspecific(static_cast<pthread_key_t>(key_), value); }
