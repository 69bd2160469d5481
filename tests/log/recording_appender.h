// A test appender that keeps every record and text it is given, and whose
// open and close can be made to fail; and a layout with a header and footer.
#pragma once

#include "log/appender.h"

#include <string>
#include <vector>

class RecordingAppender : public Appender {
public:
    RecordingAppender(const std::string& name, Priority threshold, bool failing = false)
        : Appender(name, threshold), failing_(failing) {}

    const char* className() const override { return "RecordingAppender"; }
    bool open(std::string& error) override { return failing_ ? (error = "cannot open", false) : Appender::open(error); }
    bool close(std::string& error) override {
        ++closeCalls;
        return failing_ ? (error = "cannot close", false) : Appender::close(error);
    }
    bool append(const LoggingEvent& event) override {
        if (!isOpened()) return false;
        std::lock_guard<std::recursive_mutex> guard(lock());
        events.push_back(event);
        return appendFormatted(event); // takes the same lock again
    }
    void write(const std::string& text, const LoggingEvent*) override { texts.push_back(text); }
    bool requiresLayout() const override { return layoutRequired; }

    std::vector<LoggingEvent> events;
    std::vector<std::string> texts; // headers, records and footers as written
    bool layoutRequired = false;
    int closeCalls = 0;

private:
    bool failing_;
};

class FramingLayout : public Layout {
public:
    bool header(std::string& text, const std::string& appenderClass, const std::string& appender) const override {
        text = "head:" + appenderClass + ":" + appender;
        return true;
    }
    bool footer(std::string& text, const std::string& appenderClass, const std::string& appender) const override {
        text = "foot:" + appenderClass + ":" + appender;
        return true;
    }
    bool format(const LoggingEvent& event, std::string& text) const override {
        text = "<" + event.message + ">";
        return true;
    }
};
