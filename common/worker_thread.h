// A second thread and the lock and condition its work is handed over by,
// the least a producer and its consumer need. On Windows they come straight
// from the system (a few hundred bytes of the installer, where the standard
// library's threads would take 30 KB); elsewhere from the standard library.
#pragma once

#include <memory>

// A lock with one condition, which waiters sleep on until a change wakes them.
class HandOver {
public:
    HandOver();
    ~HandOver();
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;

    void Lock();
    void Unlock();
    // With the lock held: sleeps until ready() holds, the lock released
    // while it sleeps.
    template <class Ready>
    void WaitUntil(Ready ready) {
        while (!ready()) Wait();
    }
    // Wakes every waiter, to look at what changed.
    void WakeAll();

private:
    // Releases the lock until a wake (or a spurious one), then takes it again.
    void Wait();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Holds a HandOver's lock for a scope.
class HandOverLock {
public:
    explicit HandOverLock(HandOver& handOver) : handOver_(handOver) { handOver_.Lock(); }
    ~HandOverLock() { handOver_.Unlock(); }
    HandOverLock(const HandOverLock&) = delete;
    HandOverLock& operator=(const HandOverLock&) = delete;

private:
    HandOver& handOver_;
};

// Runs body(context) on a thread of its own, which the destructor waits for.
class WorkerThread {
public:
    WorkerThread(void (*body)(void*), void* context);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False when the system would not give a thread: body never runs.
    bool Started() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
