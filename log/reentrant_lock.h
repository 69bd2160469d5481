// A lock that its owning thread may take again: each lock() needs its
// unlock(), and other threads wait until the last one.
//
// Appenders take their lock around every record, and a derived target's
// record path may reach its base class's path, which takes it again. This is
// a plain mutex with an owner and a depth, about half the cost of
// std::recursive_mutex on the uncontended path the logging calls take.
#pragma once

#include "log/log_platform.h"

#include <atomic>
#include <mutex>

class ReentrantLock {
public:
    void lock() {
        const unsigned long self = LogCurrentThreadId();
        // Only this thread can have stored its own id here, so a relaxed read
        // that finds it is exact; any other value means "not mine".
        if (owner_.load(std::memory_order_relaxed) == self) {
            ++depth_;
            return;
        }
        mutex_.lock();
        owner_.store(self, std::memory_order_relaxed);
        depth_ = 1;
    }

    void unlock() {
        if (--depth_ != 0) return;
        owner_.store(kNoOwner, std::memory_order_relaxed);
        mutex_.unlock();
    }

private:
    // The system's thread identifiers (std::thread's would bring the whole
    // threads runtime into the single-threaded installer); none is 0.
    static constexpr unsigned long kNoOwner = 0;

    std::mutex mutex_;
    std::atomic<unsigned long> owner_{kNoOwner};
    unsigned depth_ = 0; // touched by the owner only
};
