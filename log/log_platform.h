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

// One pointer per thread that the thread's end hands to a release function
// (a pthread key on POSIX; a fiber-local slot on Windows, whose callback
// runs when a thread ends). The logging framework keeps each thread's record
// here rather than in a thread_local object with a destructor: MinGW's
// emulated thread-local storage can free a thread's block before such
// destructors have run. The process makes one slot (a function-local
// static) and never destroys it.
class LogThreadSlot {
public:
    // release is called with a thread's non-null value when that thread ends.
    explicit LogThreadSlot(void (*release)(void*));
    LogThreadSlot(const LogThreadSlot&) = delete;
    LogThreadSlot& operator=(const LogThreadSlot&) = delete;

    // The calling thread's value; null until set on this thread.
    void* get() const;
    void set(void* value) const;

private:
    std::uintptr_t key_ = 0;
};

// The calling thread's own T, made (default-constructed) on the thread's
// first call and deleted when the thread ends; one slot per type T.
template <class T>
T& CallingThreadOwn() {
    static const LogThreadSlot slot([](void* object) { delete static_cast<T*>(object); });
    auto* object = static_cast<T*>(slot.get());
    if (object == nullptr) {
        object = new T;
        slot.set(object);
    }
    return *object;
}
