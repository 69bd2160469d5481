#include "log/appenders/rolling_file_appender.h"

#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/string_format.h"
#include "common/text_utils.h"
#include "log/appenders/log_file_names.h"
#include "log/param_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// A file or a directory: either takes a backup's name.
bool PathExists(const std::string& path) { return FileExists(path) || DirectoryExists(path); }

} // namespace

RollingFileAppender::RollingFileAppender(std::string name, Priority threshold)
    : FileAppender(std::move(name), threshold) {}

const char* RollingFileAppender::className() const { return "RollingFileAppender"; }

bool RollingFileAppender::setParam(const std::string& name, const std::string& value) {
    if (FileAppender::setParam(name, value)) return true;
    if (EqualsIgnoringCase(name, "MaxFileSize")) {
        maxFileSize_ = static_cast<std::uint64_t>(TextToInt64(value));
        rollOverSize_ = maxFileSize_;
        return true;
    }
    if (EqualsIgnoringCase(name, "MaxBackupIndex")) {
        maxBackupIndex_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt64(value)));
        return true;
    }
    return false;
}

std::string RollingFileAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "MaxFileSize")) return UIntToText(static_cast<std::uint32_t>(maxFileSize_));
    if (EqualsIgnoringCase(name, "MaxBackupIndex")) return UIntToText(static_cast<std::uint32_t>(maxBackupIndex_));
    return FileAppender::getParam(name);
}

std::string RollingFileAppender::paramWarning(const std::string& name, const std::string& value) const {
    if (EqualsIgnoringCase(name, "MaxFileSize"))
        return WholeNumberProblem(value, 1, std::numeric_limits<std::int64_t>::max());
    if (EqualsIgnoringCase(name, "MaxBackupIndex"))
        return WholeNumberProblem(value, 0, std::numeric_limits<std::int32_t>::max());
    return FileAppender::paramWarning(name, value);
}

Appender::TargetOpening RollingFileAppender::openTarget(std::string& error) {
    rollOverSize_ = maxFileSize_;
    return FileAppender::openTarget(error);
}

bool RollingFileAppender::appendLocked(const LoggingEvent& event) {
    if (!FileAppender::appendLocked(event)) return false;
    if (fileSize() >= rollOverSize_) rollOver();
    return true;
}

std::string RollingFileAppender::backupName(std::int32_t index) const {
    return LogFileNameWithSuffix(file(), StringFormat(".%d", index));
}

void RollingFileAppender::rollOver() {
    closeFile();
    std::string error;
    if (maxBackupIndex_ == 0) {
        openFile(false, error);
        return;
    }
    // Backups 1 to present exist; the first missing one takes the shift, so
    // a roll-over costs the backups there are, whatever MaxBackupIndex allows.
    std::int32_t present = 0;
    while (present < maxBackupIndex_ && PathExists(backupName(present + 1))) ++present;
    DeleteFileAt(backupName(maxBackupIndex_));
    for (std::int32_t index = std::min(maxBackupIndex_, present + 1); index >= 2; --index)
        MoveFileNoReplace(backupName(index - 1), backupName(index));
    const std::string backup = backupName(1);
    if (MoveFileNoReplace(file(), backup)) {
        rollOverSize_ = maxFileSize_;
        openFile(false, error);
        return;
    }
    const std::string reason = LastErrorText();
    if (!openFile(true, error)) return;
    reportFailedRollOver(backup, reason);
    // Tried again after another maxFileSize_ bytes (saturating at the top).
    rollOverSize_ = fileSize() + std::min(maxFileSize_, UINT64_MAX - fileSize());
}
