// The worker thread on Win32: a slim reader/writer lock taken exclusively,
// a condition variable slept on with it, and a plain system thread.
#include "common/windows_api.h"
#include "common/worker_thread.h"

struct HandOver::Impl {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

HandOver::HandOver() : impl_(std::make_unique<Impl>()) {}
HandOver::~HandOver() = default;
void HandOver::Lock() { ::AcquireSRWLockExclusive(&impl_->lock); }
void HandOver::Unlock() { ::ReleaseSRWLockExclusive(&impl_->lock); }
void HandOver::Wait() { ::SleepConditionVariableSRW(&impl_->condition, &impl_->lock, INFINITE, 0); }
void HandOver::WakeAll() { ::WakeAllConditionVariable(&impl_->condition); }

struct WorkerThread::Impl {
    void (*body)(void*);
    void* context;
    HANDLE thread = nullptr;

    static DWORD WINAPI Run(void* impl) {
        const Impl& self = *static_cast<Impl*>(impl);
        self.body(self.context);
        return 0;
    }
};

WorkerThread::WorkerThread(void (*body)(void*), void* context) : impl_(std::make_unique<Impl>()) {
    impl_->body = body;
    impl_->context = context;
    impl_->thread = ::CreateThread(nullptr, 0, Impl::Run, impl_.get(), 0, nullptr);
}

WorkerThread::~WorkerThread() {
    if (!impl_->thread) return;
    ::WaitForSingleObject(impl_->thread, INFINITE);
    ::CloseHandle(impl_->thread);
}

bool WorkerThread::Started() const { return impl_->thread != nullptr; }
