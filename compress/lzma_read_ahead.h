// Decoding a chunked LZMA stream on a thread of its own, ahead of the code
// that takes its bytes, as a decompressor at the head of a pipe runs ahead
// of the program that writes the files.
//
// The bytes stay where the decoder puts them, in its window; the thread
// decodes the next piece only when the window has room for it beside every
// byte the caller has not finished with, so read-ahead costs no memory
// beyond the decoder's own. A window as small as one piece still works, one
// piece at a time. The installer does without it: threads would cost its
// image 30 KB.
#pragma once

#include "compress/lzma_chunks.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class LzmaReadAhead : public LzmaPieceSource {
public:
    // Starts decoding stream, opened on a stream of streamSize bytes whose
    // decoder's window holds windowSize bytes. The stream and its source
    // belong to the thread until this object is destroyed.
    LzmaReadAhead(LzmaChunkReader& stream, std::size_t windowSize, std::uint64_t streamSize);
    // Stops the thread after the piece it is decoding.
    ~LzmaReadAhead() override;
    LzmaReadAhead(const LzmaReadAhead&) = delete;
    LzmaReadAhead& operator=(const LzmaReadAhead&) = delete;

    // An exception the source threw on the thread is thrown here, where the
    // stream reaches it.
    LzmaResult Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) override;

private:
    struct Piece {
        const std::uint8_t* data = nullptr;
        std::size_t count = 0;
        LzmaResult result = LzmaResult::Ok;
        std::exception_ptr exception;
    };

    void Run();
    // The window can take the next piece's bytes (lock held).
    bool HasRoom() const;

    LzmaChunkReader& stream_;
    const std::size_t window_;
    const std::uint64_t size_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Piece> pieces_;  // decoded, not yet handed to the caller
    std::uint64_t decoded_ = 0; // bytes of the stream the thread has had
    std::uint64_t taken_ = 0;   // bytes the caller has finished with
    bool stop_ = false;
    Piece current_;             // the caller's: what is left of the piece it reads
    std::size_t lent_ = 0;      // bytes of it the last Next handed out
    bool ended_ = false;        // current_ is the stream's last piece, of no bytes
    std::thread thread_;
};
