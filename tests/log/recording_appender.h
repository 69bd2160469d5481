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
    bool requiresLayout() const override { return layoutRequired; }

    std::vector<LoggingEvent> events;
    std::vector<std::string> texts; // headers, records and footers as written
    bool layoutRequired = false;
    int closeCalls = 0;

protected:
    TargetOpening openTarget(std::string& error) override {
        if (!failing_) return TargetOpening::WriteHeader;
        error = "cannot open";
        return TargetOpening::Failed;
    }
    bool closeTarget(std::string& error) override {
        ++closeCalls;
        return failing_ ? (error = "cannot close", false) : true;
    }
    bool appendLocked(const LoggingEvent& event) override {
        events.push_back(event);
        return Appender::appendLocked(event);
    }
    void write(std::string_view text, const LoggingEvent*) override { texts.emplace_back(text); }

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
