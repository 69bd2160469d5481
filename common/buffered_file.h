// An open file read or written through a buffer, for many small transfers:
// an installer's data blocks, read in place in TOC order, and the installer
// being written piece by piece. Each saves the system calls of small reads
// and writes.
//
// The reader raises nothing: a failure of the file ends what can be read, as
// an early end of the file would, and Failure() then says what failed; so a
// caller that sees fewer bytes than it asked for checks Failure() before
// taking the file for cut short. The writer's failures raise FileException,
// as CFile::Write does.
#pragma once

#include "common/file.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

class BufferedReader {
public:
    static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

    // Reads file (which must stay open) from its start.
    explicit BufferedReader(CFile& file, std::size_t bufferSize = kDefaultBufferSize);

    // The file's length when the reader was made (0 when it could not be
    // had, which is then the failure).
    std::uint64_t Length() const { return length_; }
    // Moves the read position; a position past the end reads nothing.
    void Seek(std::uint64_t position) { position_ = position; }
    std::uint64_t Position() const { return position_; }
    // Reads up to count bytes; fewer only at the end of the file or after a
    // failure, and none at all once a failure has been met. Bytes still in
    // the buffer are not read again, so a seek nearby is cheap.
    std::size_t Read(void* buffer, std::size_t count);
    // Reads as Read does, at most left bytes, and takes what it read off
    // left: a part of the file of known length read piece by piece.
    std::size_t ReadWithin(void* buffer, std::size_t count, std::uint64_t& left) {
        const std::size_t got = Read(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(count, left)));
        left -= got;
        return got;
    }
    // The failure that ended reading; null while there was none. Set on the
    // thread that read, it is safe to look at from another once that one's
    // reads are known to have ended.
    const FileFailure* Failure() const { return failed_ ? &file_.Failure() : nullptr; }

private:
    CFile& file_;
    bool failed_ = false;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t bufferSize_;
    std::uint64_t length_;
    std::uint64_t position_ = 0;
    std::uint64_t bufferStart_ = 0; // file position of buffer_[0]
    std::size_t buffered_ = 0;      // valid bytes in buffer_
};

class BufferedWriter {
public:
    static constexpr std::size_t kDefaultBufferSize = 1024 * 1024;

    // Appends to file (which must stay open) at its current position.
    explicit BufferedWriter(CFile& file, std::size_t bufferSize = kDefaultBufferSize);
    // Writes nothing: what Flush has not written is dropped, so that a
    // failure never raises from a destructor.
    ~BufferedWriter() = default;
    BufferedWriter(const BufferedWriter&) = delete;
    BufferedWriter& operator=(const BufferedWriter&) = delete;

    void Write(const void* data, std::size_t count);
    // Writes everything buffered to the file.
    void Flush();
    // Bytes given to Write so far.
    std::uint64_t Written() const { return written_; }

private:
    CFile& file_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t bufferSize_;
    std::size_t used_ = 0;
    std::uint64_t written_ = 0;
};
