#include "log/terminate_flush.h"

#include "log/log_factory.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <mutex>

namespace {

std::atomic<LogFactory*> gFactory{nullptr};
std::atomic<std::terminate_handler> gPrevious{nullptr};

[[noreturn]] void FlushThenTerminate() {
    // Taken, so that a second std::terminate on another thread (or from a
    // flush) goes straight on to the previous handler.
    if (LogFactory* factory = gFactory.exchange(nullptr)) factory->flushAppenders();
    if (const std::terminate_handler previous = gPrevious.load()) previous();
    std::abort();
}

} // namespace

void FlushAppendersOnTerminate() {
    static std::once_flag installed;
    std::call_once(installed, [] { gPrevious.store(std::set_terminate(&FlushThenTerminate)); });
}

void SetTerminateFlushFactory(LogFactory* factory) { gFactory.store(factory); }

void ForgetTerminateFlushFactory(LogFactory* factory) { gFactory.compare_exchange_strong(factory, nullptr); }
