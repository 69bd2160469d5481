// The raising forms of CFile's reads, writes and seeks, kept apart from the
// Try operations they are built on: a program that uses only those (the
// installer stub) links none of this and carries no exception handling.
#include "common/file.h"

FileException::FileException(const FileFailure& failure)
    : std::runtime_error(failure.Text()), operation_(failure.operation), path_(failure.path),
      errorCode_(failure.errorCode) {}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    std::size_t got = 0;
    if (!TryRead(buffer, count, got)) throw FileException(failure_);
    return got;
}

void CFile::Write(const void* data, std::size_t count) {
    if (!TryWrite(data, count)) throw FileException(failure_);
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekOrigin origin) {
    std::uint64_t position = 0;
    if (!TrySeek(offset, origin, &position)) throw FileException(failure_);
    return position;
}

std::uint64_t CFile::GetLength() {
    std::uint64_t length = 0;
    if (!TryGetLength(length)) throw FileException(failure_);
    return length;
}
