// Installs a log clock that reads a time the test chooses, for as long as the
// object lives, so that dates in formatted records are known in advance.
#pragma once

#include "log/log_clock.h"

class FixedLogClock {
public:
    explicit FixedLogClock(const CalendarTime& time) : previous_(SetLogClock(&Read)) { Now() = time; }
    ~FixedLogClock() { SetLogClock(previous_); }
    FixedLogClock(const FixedLogClock&) = delete;
    FixedLogClock& operator=(const FixedLogClock&) = delete;

    void set(const CalendarTime& time) { Now() = time; }

private:
    static CalendarTime& Now() {
        static CalendarTime time;
        return time;
    }
    static CalendarTime Read() { return Now(); }

    LogClockFunction previous_;
};

// 2010-05-09 07:36:04,123, a Sunday.
inline constexpr CalendarTime kSampleTime{2010, 5, 0, 9, 7, 36, 4, 123};
