#include "common/buffered_file.h"

#include <algorithm>
#include <cstring>

BufferedReader::BufferedReader(CFile& file, std::size_t bufferSize)
    : file_(file), buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(bufferSize)), bufferSize_(bufferSize),
      length_(0) {
    failed_ = !file_.TryGetLength(length_);
    if (failed_) length_ = 0;
}

std::size_t BufferedReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t total = 0;
    while (!failed_ && total < count && position_ < length_) {
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
            std::size_t got = 0;
            failed_ = !file_.TrySeek(static_cast<std::int64_t>(position_), SeekOrigin::Begin) ||
                      !file_.TryRead(out + total, count - total, got);
            total += got;
            position_ += got;
            break;
        }
        buffered_ = 0;
        bufferStart_ = position_;
        failed_ = !file_.TrySeek(static_cast<std::int64_t>(position_), SeekOrigin::Begin) ||
                  !file_.TryRead(buffer_.get(), bufferSize_, buffered_);
        if (buffered_ == 0) break;
    }
    return total;
}
