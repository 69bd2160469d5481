#include "compress/zqm_writer.h"

#include "common/little_endian.h"
#include "compress/deflate_best_encoder.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

bool CompressZqm(const std::function<std::size_t(void*, std::size_t)>& read,
                 const std::function<void(const std::uint8_t*, std::size_t)>& write, DeflateCodec& codec,
                 ZqmSizes& sizes, ZqmEncoder encoder) {
    sizes = {};
    std::uint8_t header[zqm::kHeaderSize];
    std::copy(std::begin(zqm::kMagic), std::end(zqm::kMagic), header);
    std::copy(std::begin(zqm::kVersion), std::end(zqm::kVersion), header + sizeof zqm::kMagic);
    write(header, sizeof header);
    sizes.fileBytes = zqm::kHeaderSize;

    // Not zero-filled: only the bytes read are used.
    const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(zqm::kPieceSize);
    std::vector<std::uint8_t> chunk;
    std::unique_ptr<DeflateBestEncoder> best;
    if (encoder == ZqmEncoder::DeflateBest) best = std::make_unique<DeflateBestEncoder>();
    while (const std::size_t got = read(piece.get(), zqm::kPieceSize)) {
        const bool encoded = best ? best->Encode(piece.get(), got, chunk) : codec.EncodeChunk(piece.get(), got, chunk);
        if (!encoded) return false;
        std::uint8_t length[zqm::kLengthFieldSize];
        StoreLittleEndian32(static_cast<std::uint32_t>(chunk.size()), length);
        write(length, sizeof length);
        write(chunk.data(), chunk.size());
        sizes.original += static_cast<std::uint32_t>(got);
        sizes.payload += static_cast<std::uint32_t>(chunk.size());
        sizes.fileBytes += static_cast<std::uint32_t>(zqm::kLengthFieldSize + chunk.size());
    }
    return true;
}
