// Writes each day's records to a file of its own ("DailyFileAppender"): the
// date, formatted with "DatePattern" (default "'.'yyyy-MM-dd"), is appended
// to the base name of "File", so "C:\logs\app.log" becomes
// "C:\logs\app.2010-05-09.log" on 9 May 2010.
//
// When a record finds that the name has changed (midnight, for the default
// pattern), the old file gets its footer and is closed, and the new name is
// opened empty with a header: a pattern that repeats (day of the month only,
// say) reuses its files as a ring.
#pragma once

#include "log/appenders/file_appender.h"

class DailyFileAppender : public FileAppender {
public:
    DailyFileAppender(std::string name, Priority threshold);
    DailyFileAppender() : DailyFileAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;
    bool setParam(const std::string& name, const std::string& value) override;
    std::string getParam(const std::string& name) const override;

    // "File" with today's date in its base name; empty without "File".
    std::string fileName() const override;

protected:
    bool appendLocked(const LoggingEvent& event) override;

private:
    std::string datePattern_ = "'.'yyyy-MM-dd";
};
