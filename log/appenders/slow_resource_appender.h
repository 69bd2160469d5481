// A console target that stands for a slow resource ("SlowResourceAppender"):
// each record holds the appender's lock for "TimeOut" milliseconds (default
// 100), half before the record is written and half after, so that other
// threads logging to it wait for the whole period. For trying out what a slow
// target does to the threads that log.
#pragma once

#include "log/appenders/console_appender.h"

#include <cstdint>

class SlowResourceAppender : public ConsoleAppender {
public:
    SlowResourceAppender(std::string name, Priority threshold) : ConsoleAppender(std::move(name), threshold) {}
    SlowResourceAppender() : SlowResourceAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;
    // "TimeOut": read like a C-library integer conversion, low 32 bits kept.
    // A negative value waits not at all (it would otherwise be taken as
    // some 49 days by the system's sleep).
    bool setParam(const std::string& name, const std::string& value) override;
    // "TimeOut" as the decimal text of its 32 bits ("%u").
    std::string getParam(const std::string& name) const override;

protected:
    // Always true: the delay happens even when the record cannot be written.
    bool appendLocked(const LoggingEvent& event) override;

private:
    std::int32_t timeOut_ = 100;
};
