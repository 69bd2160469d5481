#include "common/buffered_file.h"

#include <cstring>

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
