// Decoding LZMA (lzma_format.h) of a known unpacked size: a raw stream from
// any byte source into any sink (DecodeLzma), or, piece by piece, the
// segments and stored runs of a chunked stream (LzmaDecoder).
#pragma once

#include "compress/lzma_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

enum class LzmaResult {
    Ok,
    Truncated,          // the source ended before the stream did
    Corrupt,            // a first byte other than 0, a distance before the first byte or beyond
                        // the dictionary, a match past the unpacked size, an end marker
                        // before it, or a coder not at rest after the last symbol
    BadProperties,      // lc, lp or pb out of range, or lc + lp above 4
    DictionaryTooLarge, // the properties ask for more than the caller allows
    OutOfMemory,        // the dictionary could not be allocated
};

using LzmaSource = std::function<std::size_t(void*, std::size_t)>;

// The most bytes one Decode or Store call is asked for.
inline constexpr std::size_t kDecodePiece = 65536;

struct LzmaSpan {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};
// The bytes of one call in stream order: first, then second (empty unless
// they wrap around the window's end).
struct LzmaSpans {
    LzmaSpan first, second;
};

// One stream at a time, decoded into a window that holds the dictionary; the
// window is kept for the next stream when it is large enough. Every bound
// comes from the stream's own declarations, which are checked as they are
// used: a distance before the first byte or beyond the dictionary, a match
// past the segment's end, a segment that ends early or leaves its coder
// anywhere but at rest.
class LzmaDecoder {
public:
    LzmaDecoder();
    ~LzmaDecoder();
    LzmaDecoder(const LzmaDecoder&) = delete;
    LzmaDecoder& operator=(const LzmaDecoder&) = delete;

    // Starts a stream of unpackedSize bytes: a model at its start and an
    // empty dictionary. The window takes min(unpackedSize, max(dictionary,
    // kDecodePiece + 273)) bytes, allocated here unless the window of an
    // earlier stream is as large, so that a dictionary the stream cannot
    // use costs nothing; the rest is a fixed 45 KiB.
    LzmaResult Start(const lzma::Properties& properties, std::uint64_t unpackedSize, std::uint32_t maxDictionary);

    // The window a stream of unpackedSize bytes with that dictionary takes.
    static std::size_t WindowSize(std::uint32_t dictionary, std::uint64_t unpackedSize);
    // Allocates a window of size bytes now, for the streams to come; false
    // when memory is short.
    bool Reserve(std::size_t size);

    // Starts a range-coded segment read through read (its first five bytes),
    // which must stay valid until EndSegment.
    LzmaResult BeginSegment(const LzmaSource& read);
    // Decodes whole symbols until wanted more bytes (at most kDecodePiece)
    // or the segment's end, stream position segmentEnd, is reached; a
    // symbol crossing segmentEnd is corrupt. Produced() has the new bytes,
    // at most wanted + 272 of them.
    LzmaResult Decode(std::uint64_t segmentEnd, std::size_t wanted);
    // After the segment's last byte: an end marker, when allowed, and the
    // coder at rest (code 0). Truncated when the source ran dry.
    LzmaResult EndSegment(bool allowEndMarker);
    // The segment's source bytes read so far have all been decoded.
    bool InputDrained() const;

    // Copies count bytes (at most kDecodePiece) of a stored run from read
    // into the dictionary; Produced() has them.
    LzmaResult Store(const LzmaSource& read, std::size_t count);

    // The bytes the last successful Decode or Store made, valid until the next call.
    LzmaSpans Produced() const;
    // The stream's bytes so far.
    std::uint64_t Total() const { return total_; }
    // The bytes of the window the current stream cycles through: a byte
    // decoded stays there until as many more have been.
    std::size_t StreamWindow() const { return size_; }

    // The model and the input buffer (lzma_decoder.cpp).
    struct State;

private:
    std::unique_ptr<State> state_;
    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t capacity_ = 0; // window_'s allocation
    std::size_t size_ = 0;     // the part of it this stream cycles through
    lzma::Properties properties_;
    std::uint32_t dictionary_ = 0;
    std::size_t position_ = 0; // the next byte's place in the window
    std::uint64_t total_ = 0;
    std::size_t produced_ = 0;
    std::uint32_t reps_[4] = {}; // distances minus one
    int symbolState_ = 0;
};

// Decodes exactly unpackedSize bytes of one raw stream. read fills up to
// count bytes and returns how many it gave (0 at the end); write receives the
// decoded bytes in order, never more than unpackedSize in all. After the last
// byte the stream may carry an end marker, which is read; bytes after the
// stream are left unread or ignored. On failure fewer than unpackedSize bytes
// have been written, and the last of them may hold bytes decoded from the
// damage.
LzmaResult DecodeLzma(const lzma::Properties& properties, std::uint64_t unpackedSize, std::uint32_t maxDictionary,
                      const LzmaSource& read, const std::function<void(const std::uint8_t*, std::size_t)>& write);
