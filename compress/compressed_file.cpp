#include "compress/compressed_file.h"

#include "common/file.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "compress/zqm_format.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* kCompressionError = "Compression error";
constexpr const char* kUncompressionError = "Uncompression error";

void StoreLittleEndian32(std::uint32_t value, std::uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t LoadLittleEndian32(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

void SetError(std::string* error, const char* text) {
    if (error) *error = text;
}

} // namespace

CompressedFile::CompressedFile(std::string sourcePath, std::string compressedPath)
    : sourcePath_(std::move(sourcePath)),
      compressedPath_(compressedPath.empty() ? DefaultCompressedPath() : std::move(compressedPath)) {}

std::string CompressedFile::DefaultCompressedPath() {
    // GetTempFilePath alone gives every process the same name, and two
    // builders or installers at work together would overwrite each other's file.
    return InsertPathSuffix(GetTempFilePath("~Com"), StringFormat("%u", CurrentProcessId()));
}

double CompressedFile::GetCompressionRatio() const {
    const double percent = static_cast<double>(compressedSize_) * 100.0;
    return originalSize_ == 0 ? percent : percent / originalSize_;
}

bool CompressedFile::Compress(std::string* error) {
    compressedFileSize_ = 0;
    CFile source, compressed;
    if (!source.Open(sourcePath_, FileAccess::Read, FileCreation::OpenExisting, FileShare::Exclusive)) return false;
    if (!compressed.Create(compressedPath_)) return false;

    compressed.Write(zqm::kMagic, sizeof zqm::kMagic);
    compressed.Write(zqm::kVersion, sizeof zqm::kVersion);
    compressedFileSize_ = zqm::kHeaderSize;

    std::vector<std::uint8_t> piece(zqm::kPieceSize), chunk;
    std::uint32_t original = 0, payload = 0;
    while (const std::size_t got = source.Read(piece.data(), piece.size())) {
        if (!codec_.EncodeChunk(piece.data(), got, chunk)) {
            SetError(error, kCompressionError);
            return false;
        }
        std::uint8_t length[zqm::kLengthFieldSize];
        StoreLittleEndian32(static_cast<std::uint32_t>(chunk.size()), length);
        compressed.Write(length, sizeof length);
        compressed.Write(chunk.data(), chunk.size());
        original += static_cast<std::uint32_t>(got);
        payload += static_cast<std::uint32_t>(chunk.size());
        compressedFileSize_ += static_cast<std::uint32_t>(zqm::kLengthFieldSize + chunk.size());
    }
    originalSize_ = original;
    compressedSize_ = payload;
    return true;
}

bool CompressedFile::Expand(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite,
                            std::string* error) {
    CFile compressed, output;
    if (!compressed.Open(compressedPath_, FileAccess::Read, FileCreation::OpenExisting, FileShare::Exclusive))
        return false;
    if (!output.Create(sourcePath_)) return false;

    char magic[sizeof zqm::kMagic];
    if (compressed.Read(magic, sizeof magic) != sizeof magic || std::memcmp(magic, zqm::kMagic, sizeof magic) != 0)
        return false;
    std::uint8_t version[sizeof zqm::kVersion];
    compressed.Read(version, sizeof version);

    std::vector<std::uint8_t> chunk(zqm::kMaxChunkSize), decoded;
    std::uint32_t original = 0, payload = 0;
    for (;;) {
        std::uint8_t lengthField[zqm::kLengthFieldSize];
        const std::size_t fieldBytes = compressed.Read(lengthField, sizeof lengthField);
        if (fieldBytes == 0) break;
        // A length cut short by the end of the file, or one no encoder writes,
        // can only come from a damaged file.
        const std::uint32_t length = LoadLittleEndian32(lengthField, fieldBytes);
        if (fieldBytes != sizeof lengthField || length > zqm::kMaxChunkSize) {
            SetError(error, kUncompressionError);
            return false;
        }
        // A chunk cut short by the end of the file is a damaged file too, not
        // a shorter output to be reported as a success.
        const std::size_t got = compressed.Read(chunk.data(), length);
        if (got != length || !codec_.DecodeChunk(chunk.data(), got, decoded) || decoded.empty()) {
            SetError(error, kUncompressionError);
            return false;
        }
        output.Write(decoded.data(), decoded.size());
        payload += static_cast<std::uint32_t>(got);
        original += static_cast<std::uint32_t>(decoded.size());
    }
    if (creation && lastAccess && lastWrite) output.SetFileTimes(creation, lastAccess, lastWrite);
    originalSize_ = original;
    compressedSize_ = payload;
    return true;
}
