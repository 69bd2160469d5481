#include "log/logging_event.h"

#include "log/log_platform.h"

#include <charconv>

std::string CurrentThreadText() {
    // On every record: to_chars writes the same digits as "%lu" at a fraction
    // of the cost.
    char digits[24];
    return std::string(digits, std::to_chars(digits, digits + sizeof digits, LogCurrentThreadId()).ptr);
}

LoggingEvent::LoggingEvent() = default;

LoggingEvent::LoggingEvent(std::string message_, std::string categoryName_, std::string threadName_, Priority priority_,
                           std::uint32_t elapsedMs_)
    : message(std::move(message_)), categoryName(std::move(categoryName_)), threadName(std::move(threadName_)),
      priority(priority_), elapsedMs(elapsedMs_) {}

LoggingEvent::~LoggingEvent() = default;
