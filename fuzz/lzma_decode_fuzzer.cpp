// Feeds arbitrary bytes to the LZMA decoder as properties, unpacked size and
// stream, read in pieces whose size the input picks; with the low bit of the
// second byte set, encodes the rest instead and decodes it back. Aborts when
// the decoder writes more than the unpacked size, or a round trip differs.
#include "compress/lzma_decoder.h"
#include "compress/lzma_encoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

LzmaResult Decode(const lzma::Properties& properties, std::uint64_t size, const std::uint8_t* data, std::size_t length,
                  std::size_t piece, std::vector<std::uint8_t>& out) {
    std::size_t at = 0;
    return DecodeLzma(
        properties, size, 1u << 20,
        [&](void* to, std::size_t count) {
            count = std::min({count, length - at, piece});
            std::memcpy(to, data + at, count);
            at += count;
            return count;
        },
        [&](const std::uint8_t* bytes, std::size_t count) {
            out.insert(out.end(), bytes, bytes + count);
            if (out.size() > size) std::abort();
        });
}

} // namespace

// Layout: properties byte, mode byte (bit 0: round trip; bits 1..7 pick the
// piece size), then for decoding 3 bytes of unpacked size and a dictionary
// byte (4 KiB shifted by its low 3 bits) before the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    lzma::Properties properties;
    if (!lzma::ParseProperties(data[0], properties)) return 0;
    const std::size_t piece = (data[1] >> 1) + 1u;
    std::vector<std::uint8_t> out;
    if (data[1] & 1) {
        if (!properties.Valid()) return 0;
        properties.dictionarySize = 1 << 16;
        LzmaEncoderOptions options;
        options.properties = properties;
        std::vector<std::uint8_t> stream;
        std::size_t at = 2;
        std::uint64_t unpacked = 0;
        const LzmaEncodeResult encoded = EncodeLzma(
            options,
            [&](void* to, std::size_t count) {
                count = std::min(count, size - at);
                std::memcpy(to, data + at, count);
                at += count;
                return count;
            },
            [&](const std::uint8_t* bytes, std::size_t count) { stream.insert(stream.end(), bytes, bytes + count); },
            unpacked);
        if (encoded != LzmaEncodeResult::Ok || unpacked != size - 2) std::abort();
        if (Decode(properties, unpacked, stream.data(), stream.size(), piece, out) != LzmaResult::Ok ||
            out.size() != unpacked || !std::equal(out.begin(), out.end(), data + 2)) {
            std::abort();
        }
        return 0;
    }
    if (size < 6) return 0;
    const std::uint64_t unpacked = data[2] | data[3] << 8 | data[4] << 16;
    properties.dictionarySize = 4096u << (data[5] & 7);
    const LzmaResult result = Decode(properties, unpacked, data + 6, size - 6, piece, out);
    if (result == LzmaResult::Ok && out.size() != unpacked) std::abort();
    return 0;
}
