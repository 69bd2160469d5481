#include "log/appenders/file_appender.h"

#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/text_utils.h"
#include "log/param_text.h"
#include "log/terminate_flush.h"

#include <mutex>

FileAppender::FileAppender(std::string name, Priority threshold) : Appender(std::move(name), threshold) {
    setFormatsBeforeLocking(true);
}

FileAppender::~FileAppender() { writeBuffer(); }

const char* FileAppender::className() const { return "FileAppender"; }

bool FileAppender::setParam(const std::string& name, const std::string& value) {
    if (Appender::setParam(name, value)) return true;
    if (EqualsIgnoringCase(name, "File")) {
        file_ = ExpandVariables(value);
        return true;
    }
    if (EqualsIgnoringCase(name, "Append")) {
        appendMode_ = ParamIsTrue(value);
        return true;
    }
    if (EqualsIgnoringCase(name, "HeaderOnlyOnCreation")) {
        headerOnlyOnCreation_ = ParamIsTrue(value);
        return true;
    }
    if (EqualsIgnoringCase(name, "BufferSize")) {
        std::uint64_t size = 0;
        if (!ParseDecimal(TrimBlanks(value), kMaxBufferSize, size)) return false;
        bufferSize_ = static_cast<std::size_t>(size);
        return true;
    }
    if (EqualsIgnoringCase(name, "FlushPriority")) {
        const Priority priority = parsePriority(value);
        if (priority == LogPriority::kUndefined) return false;
        flushPriority_ = priority;
        return true;
    }
    return false;
}

std::string FileAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "File")) return file_;
    if (EqualsIgnoringCase(name, "Append")) return ParamBoolText(appendMode_);
    if (EqualsIgnoringCase(name, "HeaderOnlyOnCreation")) return ParamBoolText(headerOnlyOnCreation_);
    if (EqualsIgnoringCase(name, "BufferSize")) return std::to_string(bufferSize_);
    if (EqualsIgnoringCase(name, "FlushPriority")) return priorityName(flushPriority_);
    if (EqualsIgnoringCase(name, "FileCurrent") || EqualsIgnoringCase(name, "FileNameCurrent")) return currentFileName_;
    return Appender::getParam(name);
}

std::string FileAppender::paramWarning(const std::string& name, const std::string& value) const {
    if (EqualsIgnoringCase(name, "BufferSize")) return WholeNumberProblem(value, 0, kMaxBufferSize);
    if (EqualsIgnoringCase(name, "FlushPriority")) return PriorityNameProblem(value);
    return Appender::paramWarning(name, value);
}

std::string FileAppender::fileName() const { return file_; }

Appender::TargetOpening FileAppender::openTarget(std::string& error) { return openCurrentFile(appendMode_, error); }

Appender::TargetOpening FileAppender::openCurrentFile(bool appendMode, std::string& error) {
    currentFileName_ = fileName();
    if (handle_.IsOpen()) {
        error = StringFormat("unable to open file, a file already opened (Appender:%s)", getName().c_str());
        return TargetOpening::Failed;
    }
    if (currentFileName_.empty()) {
        error = StringFormat("unable to open file, no filename specified (Appender:%s)", getName().c_str());
        return TargetOpening::Failed;
    }
    // Windows takes "/" as a separator too ("logs/app.log"): the directory
    // chain is found at either.
    const std::string directory = GetPathPart(WithNativeSeparators(currentFileName_), kPathDirectory);
    if (!directory.empty() && !DirectoryExistsUnc(directory) && !CreateDirectoryTreeUnc(directory, &error))
        return TargetOpening::Failed;

    const FileCreation creation = appendMode ? FileCreation::OpenAlways : FileCreation::CreateAlways;
    if (!handle_.Open(currentFileName_, FileAccess::Write, creation, FileShare::DenyWrite)) {
        error = StringFormat("unable to open file '%s':%s", currentFileName_.c_str(), LastErrorText());
        return TargetOpening::Failed;
    }
    try {
        fileSize_ = appendMode ? handle_.SeekToEnd() : 0;
    } catch (const FileException& failure) {
        handle_.Close();
        error =
            StringFormat("unable to open file '%s':%s", currentFileName_.c_str(), SystemErrorText(failure.errorCode()));
        return TargetOpening::Failed;
    }
    if (bufferSize_ > 0) {
        buffer_.reserve(bufferSize_);
        FlushAppendersOnTerminate();
    }
    return headerOnlyOnCreation_ && fileSize_ > 0 ? TargetOpening::NoHeader : TargetOpening::WriteHeader;
}

bool FileAppender::isTargetOpen() const { return handle_.IsOpen(); }

bool FileAppender::closeTarget(std::string&) {
    releaseFile();
    return true;
}

bool FileAppender::closeWithoutTarget(std::string& error) {
    error = StringFormat("unable to close file, no file opened (Appender:%s)", getName().c_str());
    return false;
}

void FileAppender::write(std::string_view text, const LoggingEvent* event) {
    if (!handle_.IsOpen() || text.empty()) return;
    // Without a buffer every text takes the direct write, as before buffers
    // existed: writeBuffer finds nothing to write.
    if (buffer_.size() + text.size() > bufferSize_) writeBuffer();
    if (text.size() > bufferSize_) {
        writeToFile(text);
        return;
    }
    buffer_ += text;
    fileSize_ += text.size();
    if (event != nullptr && passesThreshold(event->priority, flushPriority_)) writeBuffer();
}

void FileAppender::flush() {
    // The size is set while nothing logs: reading it here needs no lock.
    if (bufferSize_ == 0) return;
    std::lock_guard<ReentrantLock> guard(lock());
    writeBuffer();
}

void FileAppender::writeBuffer() {
    if (buffer_.empty()) return;
    // fileSize_ already counts these bytes; writeToFile must not again.
    fileSize_ -= buffer_.size();
    writeToFile(buffer_);
    buffer_.clear();
}

void FileAppender::writeToFile(std::string_view text) {
    if (handle_.TryWrite(text.data(), text.size())) {
        fileSize_ += text.size();
        return;
    }
    // Part of the text may have reached the disk: count what is there.
    std::uint64_t length = 0;
    if (handle_.TryGetLength(length)) fileSize_ = length;
}

void FileAppender::releaseFile() {
    writeBuffer();
    handle_.Close();
}

bool FileAppender::openFile(bool appendMode, std::string& error) {
    const TargetOpening opening = openCurrentFile(appendMode, error);
    if (opening == TargetOpening::WriteHeader) writeHeader();
    return opening != TargetOpening::Failed;
}

void FileAppender::closeFile() {
    if (!handle_.IsOpen()) return;
    writeFooter();
    releaseFile();
}

void FileAppender::reportFailedRollOver(const std::string& backup, const std::string& reason) {
    LoggingEvent event;
    event.message = StringFormat("unable to roll over: renaming '%s' to '%s' failed (%s); records continue in '%s'",
                                 file_.c_str(), backup.c_str(), reason.c_str(), file_.c_str());
    event.categoryName = "zorlog";
    event.priority = LogPriority::kError;
    event.threadName = CurrentThreadText();
    event.appenderName = getName();
    event.appenderClassName = className();
    std::string text;
    if (formatEvent(event, text)) write(text, &event);
}
