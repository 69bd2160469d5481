// Decoding a chunked LZMA stream on a thread of its own, ahead of the code
// that takes its bytes, as a decompressor at the head of a pipe runs ahead
// of the program that writes the files.
//
// The bytes stay where the decoder puts them, in its window; the thread
// decodes the next piece only when the window has room for it beside every
// byte the caller has not finished with, so read-ahead costs no memory
// beyond the decoder's own. A window as small as one piece still works, one
// piece at a time. Where no thread can be had, the caller decodes each
// piece itself as it asks for it.
#pragma once

#include "common/worker_thread.h"
#include "compress/lzma_chunks.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class LzmaReadAhead : public LzmaPieceSource {
public:
    // Starts decoding stream, opened on a stream of streamSize bytes whose
    // decoder's window holds windowSize bytes. The stream and its source
    // belong to the thread until this object is destroyed; the source must
    // not throw (it ends the stream early instead, which the caller then
    // meets as Truncated, and may report as it likes).
    LzmaReadAhead(LzmaChunkReader& stream, std::size_t windowSize, std::uint64_t streamSize);
    // Stops the thread after the piece it is decoding.
    ~LzmaReadAhead() override;
    LzmaReadAhead(const LzmaReadAhead&) = delete;
    LzmaReadAhead& operator=(const LzmaReadAhead&) = delete;

    LzmaResult Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) override;

private:
    struct Piece {
        const std::uint8_t* data = nullptr;
        std::size_t count = 0;
        LzmaResult result = LzmaResult::Ok;
    };

    void Run();
    // The window can take the next piece's bytes, and the ring the piece
    // (lock held).
    bool HasRoom() const;

    LzmaChunkReader& stream_;
    const std::size_t window_;
    const std::uint64_t size_;
    HandOver handOver_;
    // Pieces decoded and not yet handed to the caller: a ring of them, from
    // firstPiece_ on, pieceCount_ of them.
    static constexpr std::size_t kRingPieces = 64;
    Piece pieces_[kRingPieces];
    std::size_t firstPiece_ = 0, pieceCount_ = 0;
    std::uint64_t decoded_ = 0; // bytes of the stream the thread has had
    std::uint64_t taken_ = 0;   // bytes the caller has finished with
    bool stop_ = false;
    Piece current_;                        // the caller's: what is left of the piece it reads
    std::size_t lent_ = 0;                 // bytes of it the last Next handed out
    bool ended_ = false;                   // current_ is the stream's last piece, of no bytes
    std::unique_ptr<WorkerThread> thread_; // null: no thread, the caller decodes
};
