#include "log/appenders/daily_rolling_file_appender.h"

#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/text_utils.h"
#include "log/appenders/log_file_names.h"
#include "log/date_format.h"

// As for DailyFileAppender: the text is made after the day check.
DailyRollingFileAppender::DailyRollingFileAppender(std::string name, Priority threshold)
    : FileAppender(std::move(name), threshold) {
    setFormatsBeforeLocking(false);
}

const char* DailyRollingFileAppender::className() const { return "DailyRollingFileAppender"; }

bool DailyRollingFileAppender::setParam(const std::string& name, const std::string& value) {
    if (FileAppender::setParam(name, value)) return true;
    if (!EqualsIgnoringCase(name, "DatePattern")) return false;
    datePattern_ = value;
    return true;
}

std::string DailyRollingFileAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "DatePattern")) return datePattern_;
    return FileAppender::getParam(name);
}

Appender::TargetOpening DailyRollingFileAppender::openTarget(std::string& error) {
    currentPeriod_ = formatDate(datePattern_);
    return FileAppender::openTarget(error);
}

bool DailyRollingFileAppender::appendLocked(const LoggingEvent& event) {
    std::string period = formatDate(datePattern_);
    if (period != currentPeriod_) {
        rollOver();
        currentPeriod_ = std::move(period);
    }
    return FileAppender::appendLocked(event);
}

void DailyRollingFileAppender::rollOver() {
    closeFile();
    const std::string backup = LogFileNameWithSuffix(file(), currentPeriod_);
    std::string error;
    if (MoveFileNoReplace(file(), backup)) {
        openFile(false, error);
        return;
    }
    const std::string reason = LastErrorText();
    if (openFile(true, error)) reportFailedRollOver(backup, reason);
}
