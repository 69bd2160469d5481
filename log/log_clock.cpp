#include "log/log_clock.h"

#include <atomic>

namespace {

std::atomic<LogClockFunction> gClock{&CurrentLocalTime};

} // namespace

CalendarTime LogLocalTime() { return gClock.load(std::memory_order_acquire)(); }

LogClockFunction SetLogClock(LogClockFunction clock) {
    return gClock.exchange(clock ? clock : &CurrentLocalTime, std::memory_order_acq_rel);
}
