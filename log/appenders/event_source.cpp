#include "log/appenders/event_source.h"

LogEventType EventTypeOf(Priority priority) {
    if (priority <= LogPriority::kError) return LogEventType::Error;
    if (priority < LogPriority::kInfo) return LogEventType::Warning;
    return LogEventType::Information;
}

EventSource::~EventSource() { deregister(); }
