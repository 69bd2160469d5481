#include "log/logging_event.h"

#include "common/string_format.h"
#include "log/log_platform.h"

std::string CurrentThreadText() { return StringFormat("%lu", LogCurrentThreadId()); }

LoggingEvent::LoggingEvent() = default;

LoggingEvent::~LoggingEvent() = default;
