// Feeds arbitrary bytes to the chunked LZMA reader as a stream of a size the
// input picks, through one decoder that serves two streams in turn (the
// second is the first again), so that a window kept from a damaged stream
// is reused. With the low bit of the first byte set, writes the rest as a
// chunked stream of 1 KiB chunks instead and reads it back. Aborts when more
// than the size comes out, a sound stream gives other bytes, or a damaged
// one decodes differently the second time.
#include "compress/lzma_chunks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LzmaResult Read(LzmaDecoder& decoder, const std::uint8_t* data, std::size_t length, std::uint64_t size,
                std::vector<std::uint8_t>& out) {
    std::size_t at = 0;
    const LzmaSource source = [&](void* to, std::size_t count) {
        count = std::min({count, length - at, std::size_t{777}});
        std::memcpy(to, data + at, count);
        at += count;
        return count;
    };
    LzmaChunkReader reader(decoder);
    LzmaResult result = reader.Open(source, size, 1u << 20);
    while (result == LzmaResult::Ok) {
        const std::uint8_t* bytes;
        std::size_t count;
        result = reader.Next(bytes, count, 5000);
        if (count == 0) break;
        out.insert(out.end(), bytes, bytes + count);
        if (out.size() > size) std::abort();
    }
    if (result == LzmaResult::Ok && out.size() != size) std::abort();
    return result;
}

} // namespace

// Layout: mode byte, then for reading 3 bytes of size before the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    LzmaDecoder decoder;
    if (data[0] & 1) {
        LzmaEncoderOptions options;
        options.properties.dictionarySize = 1 << 16;
        std::vector<std::uint8_t> stream;
        std::size_t at = 1;
        std::uint64_t unpacked = 0, packed = 0;
        const LzmaEncodeResult encoded = CompressLzmaChunks(
            options,
            [&](void* to, std::size_t count) {
                count = std::min(count, size - at);
                std::memcpy(to, data + at, count);
                at += count;
                return count;
            },
            [&](const std::uint8_t* bytes, std::size_t count) { stream.insert(stream.end(), bytes, bytes + count); },
            unpacked, packed, 1024);
        std::vector<std::uint8_t> out;
        if (encoded != LzmaEncodeResult::Ok || unpacked != size - 1 ||
            Read(decoder, stream.data(), stream.size(), unpacked, out) != LzmaResult::Ok ||
            !std::equal(out.begin(), out.end(), data + 1)) {
            std::abort();
        }
        return 0;
    }
    if (size < 4) return 0;
    const std::uint64_t total = data[1] | data[2] << 8 | data[3] << 16;
    std::vector<std::uint8_t> first, second;
    const LzmaResult once = Read(decoder, data + 4, size - 4, total, first);
    const LzmaResult twice = Read(decoder, data + 4, size - 4, total, second);
    if (once != twice || first != second) std::abort();
    return 0;
}
