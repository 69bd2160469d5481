// The record a logger builds for each call and hands to its appenders, and
// the small texts that formatters share.
#pragma once

#include "log/priority.h"

#include <cstdint>
#include <string>

// Ends a formatted record or header line.
inline constexpr char kLogLineEnd[] = "\r\n";
// The layout name reported for an appender without a layout.
inline constexpr char kNoLayoutName[] = "[NoLayout]";

// The calling thread's identifier in decimal ("%lu"), as records carry it.
std::string CurrentThreadText();

// One log record. A logger fills one that belongs to the calling thread, so it is
// never shared between threads while being filled.
class LoggingEvent {
public:
    LoggingEvent();
    // A record with its fields given at once, as a logger builds it (without
    // first making the default texts); the appender fields stay empty.
    LoggingEvent(std::string message, std::string categoryName, std::string threadName, Priority priority,
                 std::uint32_t elapsedMs);
    LoggingEvent(const LoggingEvent&) = default;
    LoggingEvent& operator=(const LoggingEvent&) = default;
    virtual ~LoggingEvent();

    std::string message = "[MessageNotSet]";
    std::string categoryName = "[CategoryNotSet]"; // the producing logger's name
    std::string threadName = "[ThreadNameNotSet]";
    Priority priority = LogPriority::kNotSet;
    // Milliseconds from the logger's creation to the log call, modulo 2^32.
    // Zero in a fresh record so that it never holds an indeterminate value.
    std::uint32_t elapsedMs = 0;
    std::string appenderName;      // set just before each appender receives the record
    std::string appenderClassName; // likewise, e.g. "FileAppender"
};
