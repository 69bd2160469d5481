#include "compress/compressed_file.h"

#include "common/file.h"
#include "compress/zqm_reader.h"
#include "compress/zqm_writer.h"

namespace {

constexpr const char* kCompressionError = "Compression error";
constexpr const char* kUncompressionError = "Uncompression error";

void SetError(std::string* error, const char* text) {
    if (error) *error = text;
}

} // namespace

CompressedFile::CompressedFile(std::string sourcePath, std::string compressedPath)
    : sourcePath_(std::move(sourcePath)), compressedPath_(std::move(compressedPath)) {
    if (!compressedPath_.empty()) return;
    // Made now and closed: Compress and Expand open it by its name like any
    // other compressed path, and only this object knows that name.
    if (temporary_.Create({}, "~Com")) {
        temporary_.File().Close();
        compressedPath_ = temporary_.Path();
    }
}

double CompressedFile::GetCompressionRatio() const {
    const double percent = static_cast<double>(compressedSize_) * 100.0;
    return originalSize_ == 0 ? percent : percent / originalSize_;
}

bool CompressedFile::Compress(std::string* error) {
    compressedFileSize_ = 0;
    CFile source, compressed;
    if (!source.Open(sourcePath_, FileAccess::Read, FileCreation::OpenExisting, FileShare::DenyWrite)) return false;
    if (compressedPath_.empty() || !compressed.Create(compressedPath_)) return false;

    ZqmSizes sizes;
    const bool compressedAll =
        CompressZqm([&](void* buffer, std::size_t count) { return source.Read(buffer, count); },
                    [&](const std::uint8_t* data, std::size_t count) { compressed.Write(data, count); }, codec_, sizes);
    compressedFileSize_ = sizes.fileBytes;
    if (!compressedAll) {
        SetError(error, kCompressionError);
        return false;
    }
    originalSize_ = sizes.original;
    compressedSize_ = sizes.payload;
    return true;
}

bool CompressedFile::Expand(const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite,
                            std::string* error) {
    CFile compressed, output;
    if (compressedPath_.empty() ||
        !compressed.Open(compressedPath_, FileAccess::Read, FileCreation::OpenExisting, FileShare::Exclusive))
        return false;
    if (!output.Create(sourcePath_)) return false;

    ZqmSizes sizes;
    std::uint64_t written = 0;
    // The decoder is given functions that do not raise: a failed read or
    // write ends its input, and the failure is raised once it has returned.
    const FileFailure* failure = nullptr;
    const auto read = [&](void* buffer, std::size_t count) -> std::size_t {
        std::size_t got = 0;
        if (!failure && !compressed.TryRead(buffer, count, got)) failure = &compressed.Failure();
        return failure ? 0 : got;
    };
    const auto write = [&](const std::uint8_t* data, std::size_t count) {
        if (failure) return;
        if (!output.TryWrite(data, count)) {
            failure = &output.Failure();
            return;
        }
        written += count;
        if (progress_) progress_(written);
    };
    const ZqmResult result = ExpandZqm(read, write, codec_, sizes);
    if (failure) throw FileException(*failure);
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
