// The read-ahead thread and its caller share one lock, taken once per piece
// on either side: the thread publishes each piece it decoded, the caller
// each piece it has finished with, and each waits for the other only when
// there is nothing to take or no room to decode into.
#include "compress/lzma_read_ahead.h"

#include <algorithm>

LzmaReadAhead::LzmaReadAhead(LzmaChunkReader& stream, std::size_t windowSize, std::uint64_t streamSize)
    : stream_(stream), window_(windowSize), size_(streamSize) {
    thread_ = std::make_unique<WorkerThread>([](void* self) { static_cast<LzmaReadAhead*>(self)->Run(); }, this);
    if (!thread_->Started()) thread_.reset();
}

LzmaReadAhead::~LzmaReadAhead() {
    if (!thread_) return;
    {
        const HandOverLock lock(handOver_);
        stop_ = true;
    }
    handOver_.WakeAll();
    thread_.reset();
}

// A piece writes from where the decoder stands (every byte before it handed
// out) at most kDecodePiece + kMaxMatch - 1 bytes, never past the stream's
// end. The window slots it writes hold the bytes window_ earlier in the
// stream, which the caller must be done with.
bool LzmaReadAhead::HasRoom() const {
    const std::uint64_t reach = std::min<std::uint64_t>(kDecodePiece + lzma::kMaxMatch, size_ - decoded_);
    return decoded_ + reach - taken_ <= window_ && pieceCount_ < kRingPieces;
}

void LzmaReadAhead::Run() {
    handOver_.Lock();
    for (;;) {
        handOver_.WaitUntil([this] { return stop_ || HasRoom(); });
        if (stop_) break;
        handOver_.Unlock();
        Piece piece;
        piece.result = stream_.Next(piece.data, piece.count, kDecodePiece);
        handOver_.Lock();
        decoded_ += piece.count;
        pieces_[(firstPiece_ + pieceCount_++) % kRingPieces] = piece;
        handOver_.WakeAll();
        if (piece.count == 0) break;
    }
    handOver_.Unlock();
}

LzmaResult LzmaReadAhead::Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) {
    if (!thread_) return stream_.Next(data, count, max);
    count = 0;
    if (lent_ != 0 || (current_.count == 0 && !ended_)) {
        const HandOverLock lock(handOver_);
        if (lent_ != 0) {
            taken_ += lent_;
            lent_ = 0;
            handOver_.WakeAll();
        }
        if (current_.count == 0 && !ended_) {
            handOver_.WaitUntil([this] { return pieceCount_ != 0; });
            current_ = pieces_[firstPiece_];
            firstPiece_ = (firstPiece_ + 1) % kRingPieces;
            --pieceCount_;
            handOver_.WakeAll();
            // A piece of no bytes ends the stream, well or not, and stays.
            ended_ = current_.count == 0;
        }
    }
    if (current_.count == 0) return current_.result;
    data = current_.data;
    count = std::min(current_.count, max);
    current_.data += count;
    current_.count -= count;
    lent_ = count;
    return LzmaResult::Ok;
}
