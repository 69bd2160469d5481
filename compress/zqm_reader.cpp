#include "compress/zqm_reader.h"

#include "common/little_endian.h"
#include "compress/zqm_format.h"

#include <cstring>
#include <memory>
#include <vector>

ZqmResult ExpandZqm(const std::function<std::size_t(void*, std::size_t)>& read,
                    const std::function<void(const std::uint8_t*, std::size_t)>& write, DeflateCodec& codec,
                    ZqmSizes& sizes) {
    sizes = {};
    char magic[sizeof zqm::kMagic];
    if (read(magic, sizeof magic) != sizeof magic || std::memcmp(magic, zqm::kMagic, sizeof magic) != 0)
        return ZqmResult::BadMagic;
    std::uint8_t version[sizeof zqm::kVersion];
    sizes.fileBytes = static_cast<std::uint32_t>(sizeof magic + read(version, sizeof version));

    // Not zero-filled: every byte used is read first. Many small files make
    // clearing these buffers a visible cost.
    const auto chunk = std::make_unique_for_overwrite<std::uint8_t[]>(zqm::kMaxChunkSize);
    std::vector<std::uint8_t> decoded;
    for (;;) {
        std::uint8_t lengthField[zqm::kLengthFieldSize];
        const std::size_t fieldBytes = read(lengthField, sizeof lengthField);
        if (fieldBytes == 0) return ZqmResult::Ok;
        if (fieldBytes != sizeof lengthField) return ZqmResult::Corrupt;
        const std::uint32_t length = LoadLittleEndian32(lengthField);
        if (length > zqm::kMaxChunkSize) return ZqmResult::Corrupt;
        // A chunk cut short by the end of the source is damage too, not a
        // shorter output to be reported as a success.
        if (read(chunk.get(), length) != length) return ZqmResult::Corrupt;
        if (!codec.DecodeChunk(chunk.get(), length, decoded) || decoded.empty()) return ZqmResult::Corrupt;
        write(decoded.data(), decoded.size());
        sizes.payload += length;
        sizes.fileBytes += static_cast<std::uint32_t>(zqm::kLengthFieldSize + length);
        sizes.original += static_cast<std::uint32_t>(decoded.size());
    }
}
