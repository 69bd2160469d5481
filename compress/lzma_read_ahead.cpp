// The read-ahead thread and its caller share one lock, taken once per piece
// on either side: the thread publishes each piece it decoded, the caller
// each piece it has finished with, and each waits for the other only when
// there is nothing to take or no room to decode into.
#include "compress/lzma_read_ahead.h"

#include <algorithm>

LzmaReadAhead::LzmaReadAhead(LzmaChunkReader& stream, std::size_t windowSize, std::uint64_t streamSize)
    : stream_(stream), window_(windowSize), size_(streamSize), thread_([this] { Run(); }) {}

LzmaReadAhead::~LzmaReadAhead() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

// A piece writes from where the decoder stands (every byte before it handed
// out) at most kDecodePiece + kMaxMatch - 1 bytes, never past the stream's
// end. The window slots it writes hold the bytes window_ earlier in the
// stream, which the caller must be done with.
bool LzmaReadAhead::HasRoom() const {
    const std::uint64_t reach = std::min<std::uint64_t>(kDecodePiece + lzma::kMaxMatch, size_ - decoded_);
    return decoded_ + reach - taken_ <= window_;
}

void LzmaReadAhead::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || HasRoom(); });
        if (stop_) return;
        lock.unlock();
        Piece piece;
        try {
            piece.result = stream_.Next(piece.data, piece.count, kDecodePiece);
        } catch (...) {
            piece.exception = std::current_exception();
        }
        lock.lock();
        decoded_ += piece.count;
        const bool last = piece.count == 0;
        pieces_.push_back(piece);
        changed_.notify_all();
        if (last) return;
    }
}

LzmaResult LzmaReadAhead::Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) {
    count = 0;
    if (lent_ != 0 || (current_.count == 0 && !ended_)) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (lent_ != 0) {
            taken_ += lent_;
            lent_ = 0;
            changed_.notify_all();
        }
        if (current_.count == 0 && !ended_) {
            changed_.wait(lock, [this] { return !pieces_.empty(); });
            current_ = pieces_.front();
            pieces_.pop_front();
            // A piece of no bytes ends the stream, well or not, and stays.
            ended_ = current_.count == 0;
        }
    }
    if (current_.exception) std::rethrow_exception(current_.exception);
    if (current_.count == 0) return current_.result;
    data = current_.data;
    count = std::min(current_.count, max);
    current_.data += count;
    current_.count -= count;
    lent_ = count;
    return LzmaResult::Ok;
}
