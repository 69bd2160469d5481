// Chunked LZMA streams: the encoder's chunks framed as lzma_chunks_format.h
// lays them out, and read back chunk by chunk, each header checked against
// the stream's size before any of its bytes are decoded.
#include "compress/lzma_chunks.h"

#include "common/little_endian.h"

#include <algorithm>

using namespace lzma_chunks;

namespace {

// Reads exactly count bytes of a header.
bool ReadAll(const LzmaSource& read, std::uint8_t* bytes, std::size_t count) {
    while (count != 0) {
        const std::size_t n = read(bytes, count);
        if (n == 0) return false;
        bytes += n;
        count -= n;
    }
    return true;
}

} // namespace

LzmaEncodeResult CompressLzmaChunks(const LzmaEncoderOptions& options, const LzmaSource& read,
                                    const std::function<void(const std::uint8_t*, std::size_t)>& write,
                                    std::uint64_t& unpackedSize, std::uint64_t& packedSize,
                                    std::uint32_t chunkSize) {
    packedSize = 0;
    const auto put = [&](const std::uint8_t* data, std::size_t count) {
        write(data, count);
        packedSize += count;
    };
    std::uint8_t header[kStreamHeaderSize];
    header[0] = options.properties.Byte();
    StoreLittleEndian32(options.properties.dictionarySize, header + 1);
    bool headerWritten = false;
    const LzmaChunkSink sink = [&](const std::uint8_t* raw, std::size_t rawSize, const std::uint8_t* packed,
                                   std::size_t packedBytes) {
        if (!headerWritten) {
            put(header, sizeof header);
            headerWritten = true;
        }
        std::uint8_t chunk[kChunkHeaderSize + kSegmentSizeFieldSize];
        chunk[0] = packed ? kCodedChunk : kStoredChunk;
        StoreLittleEndian32(static_cast<std::uint32_t>(rawSize), chunk + 1);
        if (packed) {
            StoreLittleEndian32(static_cast<std::uint32_t>(packedBytes), chunk + kChunkHeaderSize);
            put(chunk, sizeof chunk);
            put(packed, packedBytes);
        } else {
            put(chunk, kChunkHeaderSize);
            put(raw, rawSize);
        }
    };
    const LzmaEncodeResult result = EncodeLzmaChunks(options, std::min(chunkSize, kMaxChunkSize), read, sink, unpackedSize);
    if (result == LzmaEncodeResult::Ok && !headerWritten) put(header, sizeof header);
    return result;
}

LzmaResult LzmaChunkReader::Open(const LzmaSource& read, std::uint64_t size, std::uint32_t maxDictionary) {
    read_ = &read;
    size_ = size;
    handed_ = chunkEnd_ = 0;
    segmentLeft_ = 0;
    spans_ = {};
    std::uint8_t header[kStreamHeaderSize];
    if (!ReadAll(read, header, sizeof header)) return LzmaResult::Truncated;
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
    if (!ReadAll(*read_, header, kChunkHeaderSize)) return LzmaResult::Truncated;
    kind_ = header[0];
    const std::uint32_t unpacked = LoadLittleEndian32(header + 1);
    if ((kind_ != kCodedChunk && kind_ != kStoredChunk) || unpacked == 0 || unpacked > kMaxChunkSize ||
        unpacked > size_ - decoder_.Total())
        return LzmaResult::Corrupt;
    chunkEnd_ = decoder_.Total() + unpacked;
    if (kind_ == kStoredChunk) return LzmaResult::Ok;
    if (!ReadAll(*read_, header + kChunkHeaderSize, kSegmentSizeFieldSize)) return LzmaResult::Truncated;
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
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kDecodePiece, chunkEnd_ - decoder_.Total()));
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

LzmaResult LzmaChunkReader::Next(const std::uint8_t*& data, std::size_t& count) {
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
    count = spans_.first.size;
    handed_ += count;
    spans_.first = {};
    return LzmaResult::Ok;
}
