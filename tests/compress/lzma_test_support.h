// Running the LZMA codec over byte strings in memory, and inputs that give
// it matches, rep matches and incompressible stretches.
#pragma once

#include "compress/lzma_decoder.h"
#include "compress/lzma_encoder.h"
#include "tests/support/random_data.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes LzmaEncode(const Bytes& input, const LzmaEncoderOptions& options = {}) {
    std::size_t at = 0;
    Bytes stream;
    std::uint64_t size = 0;
    const LzmaEncodeResult result = EncodeLzma(
        options,
        [&](void* to, std::size_t count) {
            // Odd pieces, so that no boundary of the source lines up with the window's.
            count = std::min({count, input.size() - at, std::size_t{40000}});
            if (count != 0) std::memcpy(to, input.data() + at, count); // an empty input has no data()
            at += count;
            return count;
        },
        [&](const std::uint8_t* bytes, std::size_t count) { stream.insert(stream.end(), bytes, bytes + count); }, size);
    if (result != LzmaEncodeResult::Ok || size != input.size()) stream.clear();
    return stream;
}

struct LzmaDecoded {
    LzmaResult result;
    Bytes output;
};

// Decodes stream, handing it over in pieces of piece bytes.
inline LzmaDecoded LzmaDecode(const Bytes& stream, const lzma::Properties& properties, std::uint64_t size,
                              std::uint32_t maxDictionary = 1u << 30, std::size_t piece = 1 << 20) {
    LzmaDecoded decoded;
    std::size_t at = 0;
    decoded.result = DecodeLzma(
        properties, size, maxDictionary,
        [&](void* to, std::size_t count) {
            count = std::min({count, stream.size() - at, piece});
            if (count != 0) std::memcpy(to, stream.data() + at, count);
            at += count;
            return count;
        },
        [&](const std::uint8_t* bytes, std::size_t count) {
            decoded.output.insert(decoded.output.end(), bytes, bytes + count);
        });
    return decoded;
}

// Records of a fixed stride with a few bytes changed in each: rep matches.
inline Bytes Records(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes = RandomBytes(24, seed);
    while (bytes.size() < size) {
        bytes.insert(bytes.end(), bytes.end() - 24, bytes.end());
        bytes[bytes.size() - 1 - random() % 24] = static_cast<std::uint8_t>(random());
    }
    bytes.resize(size);
    return bytes;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
