// Writes records to "File" and, when the period named by "DatePattern"
// (default "'.'yyyy-MM-dd", one day) changes, renames the finished file to
// its base name followed by the old period's date text ("app.log" becomes
// "app.2010-05-09.log") and starts "File" afresh ("DailyRollingFileAppender").
//
// A backup is never replaced. When the rename fails (the backup name is
// taken, or the file is in use), the records stay: "File" is opened again
// in append mode, a line in it says why, and the next period's roll-over
// moves everything it holds.
#pragma once

#include "log/appenders/file_appender.h"

class DailyRollingFileAppender : public FileAppender {
public:
    DailyRollingFileAppender(std::string name, Priority threshold);
    DailyRollingFileAppender() : DailyRollingFileAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;
    bool setParam(const std::string& name, const std::string& value) override;
    std::string getParam(const std::string& name) const override;

protected:
    TargetOpening openTarget(std::string& error) override;
    bool appendLocked(const LoggingEvent& event) override;

private:
    void rollOver();

    std::string datePattern_ = "'.'yyyy-MM-dd";
    std::string currentPeriod_;
};
