// The file layer: one open file, read and written in bytes.
//
// Opening reports failure as false and leaves the reason in the thread's last
// error (see last_error.h). Opening for reading never waits: a FIFO opened
// on POSIX fails its first read instead of blocking for a writer. A short
// read at the end of a file is no failure.
//
// Once a file is open, an operating-system failure of a read, write or seek
// is reported one of two ways, as the caller chooses:
// - the Try operations return false and keep what failed (Failure()); the
//   installer stub reads and writes only through them, and carries no
//   exception handling at all;
// - Read, Write, Seek and GetLength raise FileException, the one exception
//   that crosses module boundaries; they are built on the Try operations,
//   in their own source (file_exception.cpp).
#pragma once

#include "common/file_identity.h"
#include "common/file_time.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

enum class FileAccess { Read, Write, ReadWrite };

// What other openers may do while this file is open. The POSIX stand-in keeps
// an Exclusive open apart from every other open made through this layer (an
// advisory lock); it does not enforce the finer modes.
enum class FileShare { Exclusive, DenyWrite, DenyNone };

enum class FileCreation {
    OpenExisting, // fails when the file is missing
    CreateAlways, // creates the file or truncates it
    OpenAlways,   // creates the file when missing, otherwise keeps its content
    // Creates a new private file: fails when anything is at the path, a link
    // included, so nothing is ever written through a link planted there. On
    // POSIX the file is readable and writable by its owner only (0600); on
    // Windows others may delete it meanwhile, so that a console interrupt
    // can remove it (temporary_file.h).
    CreateNew,
};

enum class SeekOrigin { Begin, Current, End };

enum class FileOperation { Read, Write, Seek, Length };

// What failed in an open file: the operation, the file's path and the Win32
// error code of the failure.
struct FileFailure {
    FileOperation operation = FileOperation::Read;
    std::string path;
    std::uint32_t errorCode = 0;

    // The sentence the system shows for it: "File read error on 'PATH': TEXT".
    std::string Text() const;
};

class FileException : public std::runtime_error {
public:
    explicit FileException(const FileFailure& failure);
    FileException(FileOperation operation, const std::string& path, std::uint32_t errorCode)
        : FileException(FileFailure{operation, path, errorCode}) {}

    FileOperation operation() const { return operation_; }
    const std::string& path() const { return path_; }
    // The Win32 error code of the failure.
    std::uint32_t errorCode() const { return errorCode_; }

private:
    FileOperation operation_;
    std::string path_;
    std::uint32_t errorCode_;
};

class CFile {
public:
    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;

    // Opens path, closing any file this object had open. A directory cannot be
    // opened as a file (access denied).
    bool Open(const std::string& path, FileAccess access, FileCreation creation, FileShare share);
    // Reading an existing file.
    bool OpenForReading(const std::string& path, FileShare share = FileShare::DenyNone) {
        return Open(path, FileAccess::Read, FileCreation::OpenExisting, share);
    }
    // Writing a new or truncated file that nobody else may open meanwhile.
    bool Create(const std::string& path) {
        return Open(path, FileAccess::Write, FileCreation::CreateAlways, FileShare::Exclusive);
    }

    bool IsOpen() const;
    // True when the open file is a file on a disk (not a directory, device,
    // pipe or socket).
    bool IsRegularFile();
    // The identity of the open file; false with the last error set on failure.
    bool GetIdentity(FileIdentity& identity);
    // Gives the file the permissions a file made by Create would have (POSIX:
    // 0666 less the process's umask; nothing to do on Windows). For a private
    // file (CreateNew) that is about to become a user's file.
    bool GrantDefaultAccess();
    // The path given to the last successful Open.
    const std::string& GetFilePath() const { return path_; }

    // Reads up to count bytes; got receives how many were read, fewer only at
    // the end of the file. False on a failure (got then counts the bytes read
    // before it), which Failure() then describes.
    bool TryRead(void* buffer, std::size_t count, std::size_t& got);
    // Writes all count bytes; false on a failure (a full disk has code 112).
    bool TryWrite(const void* data, std::size_t count);
    // Moves the file pointer; position, when given, receives its new place
    // from the start.
    bool TrySeek(std::int64_t offset, SeekOrigin origin, std::uint64_t* position = nullptr);
    bool TryGetLength(std::uint64_t& length);
    // What the last failed operation met (empty path before any failure).
    const FileFailure& Failure() const { return failure_; }

    // The same operations raising FileException on a failure.
    // Reads up to count bytes; fewer only at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    // Writes all count bytes (a full disk raises FileException with code 112).
    void Write(const void* data, std::size_t count);
    // Moves the file pointer and returns its new position from the start.
    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin);
    std::uint64_t SeekToEnd() { return Seek(0, SeekOrigin::End); }
    std::uint64_t GetPosition() { return Seek(0, SeekOrigin::Current); }
    std::uint64_t GetLength();

    // The three times; false with the last error set on failure.
    bool GetFileTimes(FileTimes& times);
    // Sets the times given, leaving a null one unchanged. The POSIX stand-in
    // cannot set the creation time and ignores it.
    bool SetFileTimes(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite);

    void Close();

private:
    // Records a failure of operation with the thread's last error; false.
    bool Fail(FileOperation operation);
    bool Fail(FileOperation operation, std::uint32_t errorCode);

    std::intptr_t handle_ = -1;
    std::string path_;
    FileFailure failure_;
};

// Test hook for failure paths: the countdown-th read or write (1 is the next
// one) of any file fails with errorCode as if the
// operating system had refused it; the fault fires once.
void InjectFileFault(FileOperation operation, unsigned countdown, std::uint32_t errorCode);
void ClearFileFaults();
