// Writes records to one file ("FileAppender"), and the base of the dated and
// size-rolled file targets.
//
// Parameters: "File" (environment references expanded), "Append" (default
// true: keep what the file holds), "HeaderOnlyOnCreation" (default false:
// write the layout's header on every open). "FileCurrent" and
// "FileNameCurrent" report the file opened last.
//
// "BufferSize" (bytes, default 0) and "FlushPriority" (a priority name,
// default ERROR) choose how records reach the file:
//   - without a buffer (0), each record is one write call of its formatted
//     text, with nothing held between records, so a crash loses at most the
//     record being written;
//   - with a buffer, texts gather in memory and are written together when
//     the next one would not fit, when a record at FlushPriority or more
//     severe arrives (compared as a threshold is: the forced priorities
//     9998 and 9999 are not severe), before the file is switched
//     (roll-over, a new day), and when the file is closed, flush() is called
//     or the process-wide factory shuts down or sees std::terminate. A crash
//     loses at most the buffer; a text longer than the buffer is written on
//     its own, whole. The size that rolls a file over counts the buffered
//     bytes.
// A record is written whole, however long (a cut would lose the end of a
// long message and could split a UTF-8 character). Write errors (a full
// disk) lose that write only, one record or one buffer; the next write is
// tried again.
//
// Opening creates the file's directory chain when it is missing and opens the
// file so that other processes may read it but not write it.
#pragma once

#include "common/file.h"
#include "log/appender.h"

#include <cstddef>
#include <cstdint>
#include <string>

class FileAppender : public Appender {
public:
    FileAppender(std::string name, Priority threshold);
    FileAppender() : FileAppender("[NoAppenderName]", LogPriority::kNotSet) {}
    // Writes what is buffered and closes the file without a footer: the
    // layout may be gone by now.
    ~FileAppender() override;

    // The largest "BufferSize" taken; a larger value is refused.
    static constexpr std::size_t kMaxBufferSize = 64 * 1024 * 1024;

    const char* className() const override;
    // "BufferSize" takes decimal digits only (surrounding blanks allowed) up
    // to kMaxBufferSize; "FlushPriority" a priority name. Any other value is
    // refused and the setting kept. A new buffer size applies from the next
    // text written.
    bool setParam(const std::string& name, const std::string& value) override;
    // "BufferSize" in decimal, "FlushPriority" as its priority's name.
    std::string getParam(const std::string& name) const override;
    // Says why a "BufferSize" or "FlushPriority" would be refused.
    std::string paramWarning(const std::string& name, const std::string& value) const override;

    // Writes the buffered texts now; nothing without a buffer.
    void flush() override;

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
    // Bytes in the open file and its buffer, counted from the file's length
    // at open and every text since (other writers are shut out while it is
    // open).
    std::uint64_t fileSize() const { return fileSize_; }

    // Opens fileName() as the current file, in append mode (keeping its
    // content) or create mode (emptying it), and writes the header as open
    // does. False with error set when it fails.
    bool openFile(bool appendMode, std::string& error);
    // Writes the footer and what is buffered, and closes the current file;
    // nothing without one.
    void closeFile();
    // Says in the current file, through the layout as an ERROR record of
    // the category "zorlog", that renaming "File" to backup failed for
    // reason and that records continue in "File": whoever reads the log
    // learns why it grew.
    void reportFailedRollOver(const std::string& backup, const std::string& reason);

private:
    TargetOpening openCurrentFile(bool appendMode, std::string& error);
    // Writes the buffered texts, which are dropped even when the write fails.
    void writeBuffer();
    // One write call; fileSize_ then counts what the file holds.
    void writeToFile(std::string_view text);
    // Writes the buffer and closes the handle.
    void releaseFile();

    bool appendMode_ = true;
    std::string file_;
    bool headerOnlyOnCreation_ = false;
    std::string currentFileName_;
    CFile handle_;
    // Bytes in the file and in buffer_.
    std::uint64_t fileSize_ = 0;
    std::size_t bufferSize_ = 0;
    Priority flushPriority_ = LogPriority::kError;
    std::string buffer_;
};
