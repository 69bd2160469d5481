#include "compress/compressed_file.h"

#include "common/file.h"
#include "common/little_endian.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "compress/zqm_format.h"
#include "compress/zqm_reader.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* kCompressionError = "Compression error";
constexpr const char* kUncompressionError = "Uncompression error";

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

    ZqmSizes sizes;
    std::uint64_t written = 0;
    const ZqmResult result = ExpandZqm([&](void* buffer, std::size_t count) { return compressed.Read(buffer, count); },
                                       [&](const std::uint8_t* data, std::size_t count) {
                                           output.Write(data, count);
                                           written += count;
                                           if (progress_) progress_(written);
                                       },
                                       codec_, sizes);
    if (result == ZqmResult::BadMagic) return false;
    if (result == ZqmResult::Corrupt) {
        SetError(error, kUncompressionError);
        return false;
    }
    if (creation && lastAccess && lastWrite) output.SetFileTimes(creation, lastAccess, lastWrite);
    originalSize_ = sizes.original;
    compressedSize_ = sizes.payload;
    return true;
}
