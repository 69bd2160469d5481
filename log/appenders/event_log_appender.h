// Reports each record as an event of the system's event log
// ("EventLogAppender"), under a source named after the appender: an error
// event for FATAL to ERROR, a warning for WARN and NOTICE, information for
// the rest and for the layout's header and footer. In the POSIX build the
// events go to syslog at the matching level.
#pragma once

#include "log/appender.h"
#include "log/appenders/event_source.h"

class EventLogAppender : public Appender {
public:
    EventLogAppender(std::string name, Priority threshold) : Appender(std::move(name), threshold) {}
    EventLogAppender() : EventLogAppender("[NoAppenderName]", LogPriority::kNotSet) {}
    // Closes the appender, footer included, unless it was closed already:
    // the footer is written once either way.
    ~EventLogAppender() override;

    const char* className() const override;

protected:
    // Opening again while a source is registered keeps that source.
    TargetOpening openTarget(std::string& error) override;
    bool isTargetOpen() const override;
    bool closeTarget(std::string& error) override;
    void write(std::string_view text, const LoggingEvent* event) override;

private:
    EventSource source_;
};
