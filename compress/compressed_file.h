// One file turned into a "!ZQM" compressed file (zqm_format.h) and back,
// holding at most one 64 KiB piece and one chunk in memory at a time.
// An object serves one Compress or one Expand: its codec keeps the stream's
// state.
#pragma once

#include "common/file_time.h"
#include "common/temporary_file.h"
#include "compress/deflate_codec.h"

#include <cstdint>
#include <functional>
#include <string>

class CompressedFile {
public:
    // Without a compressed path the object makes its own temporary file
    // (temporary_file.h: new, private, under an unpredictable name in the
    // temporary directory, prefix "~Com") and removes it when destroyed; the
    // path is empty when no such file could be made.
    explicit CompressedFile(std::string sourcePath, std::string compressedPath = {});

    const std::string& GetSourcePath() const { return sourcePath_; }
    const std::string& GetCompressedPath() const { return compressedPath_; }
    void SetCompressedPath(std::string path) { compressedPath_ = std::move(path); }

    // Source file to compressed file; others may read the source meanwhile,
    // nobody may write it. False, with error untouched, when either file
    // cannot be opened; false with "Compression error" when the codec
    // fails. Read and write failures raise FileException.
    bool Compress(std::string* error = nullptr);

    // Compressed file to source file; the three times are set on the output
    // only when all three are given (a failure to set them is ignored). False,
    // with error untouched, when a file cannot be opened or the magic differs;
    // false with "Uncompression error" for a damaged file: a corrupt stream, a
    // chunk that decodes to nothing, a chunk or length field cut short by the
    // end of the file, or a chunk longer than any encoder writes. The output
    // stays as far as it was written. Read and write failures raise
    // FileException.
    bool Expand(const FileTime* creation = nullptr, const FileTime* lastAccess = nullptr,
                const FileTime* lastWrite = nullptr, std::string* error = nullptr);

    // Called by Expand after each piece written to the source file, with the
    // bytes written so far. It must not raise: in the Windows build the
    // decoder it is called from has no exception handling.
    using WriteProgress = std::function<void(std::uint64_t written)>;
    void SetWriteProgress(WriteProgress progress) { progress_ = std::move(progress); }

    // Sizes of the last operation: source bytes, chunk payload bytes, and the
    // compressed file's bytes (header and length fields included; set by Compress).
    std::uint32_t GetOriginalSize() const { return originalSize_; }
    std::uint32_t GetCompressedSize() const { return compressedSize_; }
    std::uint32_t GetCompressedFileSize() const { return compressedFileSize_; }
    // Compressed size as a percentage of the original size (compressed size
    // x 100 when the original is empty).
    double GetCompressionRatio() const;

private:
    TemporaryFile temporary_;
    std::string sourcePath_;
    std::string compressedPath_;
    std::uint32_t originalSize_ = 0;
    std::uint32_t compressedSize_ = 0;
    std::uint32_t compressedFileSize_ = 0;
    DeflateCodec codec_;
    WriteProgress progress_;
};
