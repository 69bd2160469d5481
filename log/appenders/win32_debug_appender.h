// Passes each record to the debugger's output ("Win32DebugAppender"):
// OutputDebugString on Windows; standard error in the POSIX build, where
// that is where a developer looks.
#pragma once

#include "log/appender.h"

class Win32DebugAppender : public Appender {
public:
    Win32DebugAppender(std::string name, Priority threshold) : Appender(std::move(name), threshold) {}
    Win32DebugAppender() : Win32DebugAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;

protected:
    void write(std::string_view text, const LoggingEvent* event) override;
};
