// Writes records to one file ("FileAppender"), and the base of the dated and
// size-rolled file targets.
//
// Parameters: "File" (environment references expanded), "Append" (default
// true: keep what the file holds), "HeaderOnlyOnCreation" (default false:
// write the layout's header on every open). "FileCurrent" and
// "FileNameCurrent" report the file opened last.
//
// Opening creates the file's directory chain when it is missing and opens the
// file so that other processes may read it but not write it. Each record is
// one write call of its formatted text, with nothing buffered between
// records, so a crash loses at most the record being written. A record is
// written whole, however long (a cut would lose the end of a long message
// and could split a UTF-8 character). Write errors (a full disk) lose that
// record only; the next record is tried again.
#pragma once

#include "common/file.h"
#include "log/appender.h"

#include <cstdint>
#include <string>

class FileAppender : public Appender {
public:
    FileAppender(std::string name, Priority threshold);
    FileAppender() : FileAppender("[NoAppenderName]", LogPriority::kNotSet) {}
    // Closes the file without a footer: the layout may be gone by now.
    ~FileAppender() override;

    const char* className() const override;
    bool setParam(const std::string& name, const std::string& value) override;
    std::string getParam(const std::string& name) const override;

    // The name of the file that should be open now; the "File" parameter
    // itself here.
    virtual std::string fileName() const;

protected:
    TargetOpening openTarget(std::string& error) override;
    bool isTargetOpen() const override;
    bool closeTarget(std::string& error) override;
    // Closing with no file open fails.
    bool closeWithoutTarget(std::string& error) override;
    void write(std::string_view text, const LoggingEvent* event) override;

    // The configured "File" parameter.
    const std::string& file() const { return file_; }
    // The name of the file opened last (or being opened).
    const std::string& currentFileName() const { return currentFileName_; }
    // Bytes in the open file, counted from its length at open and every
    // write since (other writers are shut out while it is open).
    std::uint64_t fileSize() const { return fileSize_; }

    // Opens fileName() as the current file, in append mode (keeping its
    // content) or create mode (emptying it), and writes the header as open
    // does. False with error set when it fails.
    bool openFile(bool appendMode, std::string& error);
    // Writes the footer and closes the current file; nothing without one.
    void closeFile();
    // Says in the current file, through the layout as an ERROR record of
    // the category "zorlog", that renaming "File" to backup failed for
    // reason and that records continue in "File": whoever reads the log
    // learns why it grew.
    void reportFailedRollOver(const std::string& backup, const std::string& reason);

private:
    TargetOpening openCurrentFile(bool appendMode, std::string& error);

    bool appendMode_ = true;
    std::string file_;
    bool headerOnlyOnCreation_ = false;
    std::string currentFileName_;
    CFile handle_;
    std::uint64_t fileSize_ = 0;
};
