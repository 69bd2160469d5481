// The worker thread from the standard library.
#include "common/worker_thread.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

struct HandOver::Impl {
    std::mutex mutex;
    std::condition_variable condition;
};

HandOver::HandOver() : impl_(std::make_unique<Impl>()) {}
HandOver::~HandOver() = default;
void HandOver::Lock() { impl_->mutex.lock(); }
void HandOver::Unlock() { impl_->mutex.unlock(); }
void HandOver::WakeAll() { impl_->condition.notify_all(); }

void HandOver::Wait() {
    // The caller holds the mutex and keeps holding it after the wait.
    std::unique_lock<std::mutex> lock(impl_->mutex, std::adopt_lock);
    impl_->condition.wait(lock);
    lock.release();
}

struct WorkerThread::Impl {
    std::thread thread;
};

WorkerThread::WorkerThread(void (*body)(void*), void* context) : impl_(std::make_unique<Impl>()) {
    try {
        impl_->thread = std::thread(body, context);
    } catch (const std::system_error&) {
        // No thread to be had: Started() says so.
    }
}

WorkerThread::~WorkerThread() {
    if (impl_->thread.joinable()) impl_->thread.join();
}

bool WorkerThread::Started() const { return impl_->thread.joinable(); }
