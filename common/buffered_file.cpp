#include "common/buffered_file.h"

#include <algorithm>
#include <cstring>

BufferedReader::BufferedReader(CFile& file, std::size_t bufferSize)
    : file_(file), buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(bufferSize)), bufferSize_(bufferSize),
      length_(file.GetLength()) {}

std::size_t BufferedReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t total = 0;
    while (total < count && position_ < length_) {
        if (position_ >= bufferStart_ && position_ < bufferStart_ + buffered_) {
            const std::size_t offset = static_cast<std::size_t>(position_ - bufferStart_);
            const std::size_t piece = std::min(count - total, buffered_ - offset);
            std::memcpy(out + total, buffer_.get() + offset, piece);
            total += piece;
            position_ += piece;
            continue;
        }
        // Large reads go straight to the caller's buffer.
        if (count - total >= bufferSize_) {
            file_.Seek(static_cast<std::int64_t>(position_), SeekOrigin::Begin);
            const std::size_t got = file_.Read(out + total, count - total);
            total += got;
            position_ += got;
            break;
        }
        file_.Seek(static_cast<std::int64_t>(position_), SeekOrigin::Begin);
        bufferStart_ = position_;
        buffered_ = file_.Read(buffer_.get(), bufferSize_);
        if (buffered_ == 0) break;
    }
    return total;
}

BufferedWriter::BufferedWriter(CFile& file, std::size_t bufferSize)
    : file_(file), buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(bufferSize)), bufferSize_(bufferSize) {}

void BufferedWriter::Write(const void* data, std::size_t count) {
    if (count == 0) return; // data may then be null, which memcpy must not see
    written_ += count;
    if (used_ + count <= bufferSize_) {
        std::memcpy(buffer_.get() + used_, data, count);
        used_ += count;
        return;
    }
    Flush();
    if (count >= bufferSize_) {
        file_.Write(data, count);
        return;
    }
    std::memcpy(buffer_.get(), data, count);
    used_ = count;
}

void BufferedWriter::Flush() {
    if (used_ == 0) return;
    const std::size_t pending = used_;
    used_ = 0;
    file_.Write(buffer_.get(), pending);
}
