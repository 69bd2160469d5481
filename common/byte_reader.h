// Reads the fields of a record in order from a byte range: little-endian
// integers and texts, each checked against the range's end. The first read
// that does not fit fails the reader for good (a sticky failure): it and every
// later read yield zero or an empty text and move nothing, so a parser reads
// a group of fields and asks once whether they were all there.
#pragma once

#include "common/little_endian.h"

#include <cstddef>
#include <cstdint>
#include <string>

class ByteReader {
public:
    ByteReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    std::uint32_t Read32() {
        const std::uint8_t* field = Take(4);
        return field ? LoadLittleEndian32(field) : 0;
    }
    // The next length bytes, as they are (NULs included).
    std::string ReadText(std::size_t length) {
        const std::uint8_t* text = Take(length);
        return text ? std::string(reinterpret_cast<const char*>(text), length) : std::string();
    }
    // A 32-bit length, then that many bytes of text.
    std::string ReadCountedText() {
        const std::uint32_t length = Read32();
        return ReadText(length);
    }
    // The next count bytes in place, or null; they stay owned by the caller's range.
    const std::uint8_t* ReadBytes(std::size_t count) { return Take(count); }
    void Skip(std::size_t count) { Take(count); }

    bool Failed() const { return failed_; }
    // Bytes not read yet; zero once failed.
    std::size_t Left() const { return failed_ ? 0 : size_ - at_; }
    std::size_t Offset() const { return at_; }

private:
    const std::uint8_t* Take(std::size_t count) {
        if (failed_ || count > size_ - at_) {
            failed_ = true;
            return nullptr;
        }
        const std::uint8_t* start = bytes_ + at_;
        at_ += count;
        return start;
    }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool failed_ = false;
};
