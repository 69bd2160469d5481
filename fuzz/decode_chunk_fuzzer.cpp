// Feeds arbitrary bytes to the deflate decoder in pieces whose sizes come
// from the input itself, as chunks of a hostile installer would arrive.
// The sanitizers catch any access outside the decoder's tables and window.
#include "compress/deflate_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte picks the piece size: 1 to 256 bytes, or all at once.
    const std::size_t piece = data[0] == 0 ? size : data[0];
    data += 1;
    size -= 1;

    DeflateCodec codec;
    std::vector<std::uint8_t> out;
    std::size_t produced = 0;
    for (std::size_t at = 0; at < size; at += piece) {
        const std::size_t length = piece < size - at ? piece : size - at;
        if (!codec.DecodeChunk(data + at, length, out)) break;
        produced += out.size();
    }
    // No deflate stream expands beyond 258 bytes for every 2 bits.
    if (produced > size * 4 * 258 + 258) std::abort();
    return 0;
}
