// Writes each record to the process's standard output, unchanged and without
// a flush of its own ("ConsoleAppender"). A program without a console (a
// Windows GUI program) writes nowhere.
#pragma once

#include "log/appender.h"

class ConsoleAppender : public Appender {
public:
    ConsoleAppender(std::string name, Priority threshold) : Appender(std::move(name), threshold) {}
    ConsoleAppender() : ConsoleAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;

protected:
    void write(std::string_view text, const LoggingEvent* event) override;
};
