#include "log/appenders/event_log_appender.h"

#include "common/error_texts.h"

EventLogAppender::~EventLogAppender() {
    std::string error;
    close(error);
}

const char* EventLogAppender::className() const { return "EventLogAppender"; }

Appender::TargetOpening EventLogAppender::openTarget(std::string& error) {
    if (source_.isRegistered()) return TargetOpening::NoHeader;
    if (!source_.registerSource(getName())) {
        error = std::string("unable to register event source:") + LastErrorText();
        return TargetOpening::Failed;
    }
    return TargetOpening::WriteHeader;
}

bool EventLogAppender::isTargetOpen() const { return source_.isRegistered(); }

bool EventLogAppender::closeTarget(std::string& error) {
    if (source_.deregister()) return true;
    error = std::string("unable to deregister event source:") + LastErrorText();
    return false;
}

void EventLogAppender::write(std::string_view text, const LoggingEvent* event) {
    source_.report(event != nullptr ? EventTypeOf(event->priority) : LogEventType::Information, text);
}
