#include "log/appenders/daily_file_appender.h"

#include "common/text_utils.h"
#include "log/appenders/log_file_names.h"
#include "log/date_format.h"

// The day check under the lock picks the file: a record's text is made after
// it, so that the date in it matches the file's.
DailyFileAppender::DailyFileAppender(std::string name, Priority threshold) : FileAppender(std::move(name), threshold) {
    setFormatsBeforeLocking(false);
}

const char* DailyFileAppender::className() const { return "DailyFileAppender"; }

bool DailyFileAppender::setParam(const std::string& name, const std::string& value) {
    if (FileAppender::setParam(name, value)) return true;
    if (!EqualsIgnoringCase(name, "DatePattern")) return false;
    datePattern_ = value;
    return true;
}

std::string DailyFileAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "DatePattern")) return datePattern_;
    return FileAppender::getParam(name);
}

std::string DailyFileAppender::fileName() const {
    if (file().empty()) return {};
    return LogFileNameWithSuffix(file(), formatDate(datePattern_));
}

bool DailyFileAppender::appendLocked(const LoggingEvent& event) {
    if (fileName() != currentFileName()) {
        closeFile();
        std::string error;
        openFile(false, error); // a failure leaves no file open: records are dropped until the next day
    }
    return FileAppender::appendLocked(event);
}
