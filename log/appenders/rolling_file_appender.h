// Writes records to "File" and rolls the file over when a record takes it to
// "MaxFileSize" bytes or more (default 10,240,000): "app.log" becomes
// "app.1.log", "app.1.log" becomes "app.2.log" and so on up to
// "MaxBackupIndex" (default 7), whose previous content is deleted
// ("RollingFileAppender"). With "MaxBackupIndex" 0 the file is emptied
// instead. A file grows past the limit by at most one record.
//
// The write and the size check are one critical section, so two threads
// never both roll over for the same excess. Renames never replace a file.
// When renaming "File" fails (a backup in use, say), its records stay: it
// is opened again in append mode, a line in it says why, and the next
// attempt waits until another "MaxFileSize" bytes have been written.
#pragma once

#include "log/appenders/file_appender.h"

#include <cstdint>

class RollingFileAppender : public FileAppender {
public:
    RollingFileAppender(std::string name, Priority threshold);
    RollingFileAppender() : RollingFileAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;
    // "MaxFileSize" and "MaxBackupIndex" are read like a C-library integer
    // conversion (leading blanks, sign, digits; 0 without digits). A negative
    // size counts as its unsigned 64-bit value; the index keeps its low 32 bits.
    bool setParam(const std::string& name, const std::string& value) override;
    // Both numbers are reported as the decimal text of their low 32 bits.
    std::string getParam(const std::string& name) const override;
    // "MaxFileSize" must be a whole number from 1, "MaxBackupIndex" one
    // from 0 to 2,147,483,647.
    std::string paramWarning(const std::string& name, const std::string& value) const override;

protected:
    TargetOpening openTarget(std::string& error) override;
    bool appendLocked(const LoggingEvent& event) override;

private:
    // The name of backup index.
    std::string backupName(std::int32_t index) const;
    void rollOver();

    std::uint64_t maxFileSize_ = 10'240'000;
    std::int32_t maxBackupIndex_ = 7;
    // The size at which the next roll-over is tried: maxFileSize_, or more
    // after a failed one.
    std::uint64_t rollOverSize_ = maxFileSize_;
};
