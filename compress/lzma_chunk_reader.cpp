// Reading chunked LZMA streams (lzma_chunks_format.h) chunk by chunk, each
// header checked against the stream's size before any of its bytes are
// decoded. (The writer lives apart, in lzma_chunk_writer.cpp, so that a
// program that only reads links no encoder.)
#include "compress/lzma_chunks.h"

#include "common/little_endian.h"

#include <algorithm>

using namespace lzma_chunks;

bool ReadFully(const LzmaSource& read, std::uint8_t* bytes, std::size_t count) {
    while (count != 0) {
        const std::size_t n = read(bytes, count);
        if (n == 0) return false;
        bytes += n;
        count -= n;
    }
    return true;
}

LzmaResult LzmaChunkReader::Open(const LzmaSource& read, std::uint64_t size, std::uint32_t maxDictionary) {
    read_ = &read;
    size_ = size;
    chunkEnd_ = 0;
    segmentLeft_ = 0;
    spans_ = {};
    std::uint8_t header[kStreamHeaderSize];
    if (!ReadFully(read, header, sizeof header)) return LzmaResult::Truncated;
    lzma::Properties properties;
    if (!lzma::ParseProperties(header[0], properties)) return LzmaResult::BadProperties;
    properties.dictionarySize = LoadLittleEndian32(header + 1);
    segment_ = [this](void* buffer, std::size_t count) {
        const std::size_t n = (*read_)(buffer, std::min<std::size_t>(count, segmentLeft_));
        segmentLeft_ -= static_cast<std::uint32_t>(n);
        return n;
    };
    return decoder_.Start(properties, size, maxDictionary);
}

LzmaResult LzmaChunkReader::NextChunk() {
    std::uint8_t header[kChunkHeaderSize + kSegmentSizeFieldSize];
    if (!ReadFully(*read_, header, kChunkHeaderSize)) return LzmaResult::Truncated;
    kind_ = header[0];
    const std::uint32_t unpacked = LoadLittleEndian32(header + 1);
    if ((kind_ != kCodedChunk && kind_ != kStoredChunk) || unpacked == 0 || unpacked > kMaxChunkSize ||
        unpacked > size_ - decoder_.Total())
        return LzmaResult::Corrupt;
    chunkEnd_ = decoder_.Total() + unpacked;
    if (kind_ == kStoredChunk) return LzmaResult::Ok;
    if (!ReadFully(*read_, header + kChunkHeaderSize, kSegmentSizeFieldSize)) return LzmaResult::Truncated;
    segmentLeft_ = LoadLittleEndian32(header + kChunkHeaderSize);
    if (segmentLeft_ < kMinSegmentSize || segmentLeft_ >= unpacked) return LzmaResult::Corrupt;
    return decoder_.BeginSegment(segment_);
}

// Decodes the next piece of the current chunk, starting the chunk when the
// one before has ended; a segment is checked whole as its last byte comes.
LzmaResult LzmaChunkReader::Fill() {
    if (decoder_.Total() == chunkEnd_) {
        if (const LzmaResult result = NextChunk(); result != LzmaResult::Ok) return result;
    }
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(kDecodePiece, chunkEnd_ - decoder_.Total()));
    LzmaResult result;
    if (kind_ == kStoredChunk) {
        result = decoder_.Store(*read_, wanted);
    } else {
        result = decoder_.Decode(chunkEnd_, wanted);
        if (result == LzmaResult::Ok && decoder_.Total() == chunkEnd_) {
            result = decoder_.EndSegment(false);
            // Every byte of the segment, and none after it, went into the coder.
            if (result == LzmaResult::Ok && (segmentLeft_ != 0 || !decoder_.InputDrained()))
                result = LzmaResult::Corrupt;
        }
    }
    if (result == LzmaResult::Ok) spans_ = decoder_.Produced();
    return result;
}

LzmaResult LzmaChunkReader::Next(const std::uint8_t*& data, std::size_t& count, std::size_t max) {
    count = 0;
    if (spans_.first.size == 0) {
        spans_.first = spans_.second;
        spans_.second = {};
    }
    if (spans_.first.size == 0) {
        if (decoder_.Total() == size_) return LzmaResult::Ok;
        if (const LzmaResult result = Fill(); result != LzmaResult::Ok) return result;
    }
    data = spans_.first.data;
    count = std::min(spans_.first.size, max);
    spans_.first.data += count;
    spans_.first.size -= count;
    return LzmaResult::Ok;
}
