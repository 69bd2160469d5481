// Entries' data blocks made in memory, on as many threads as the settings
// allow, and handed over in TOC order: what the builder writes does not
// depend on the number of threads. Nothing here reports a line; each result
// says what went wrong, and the builder reports it when it reaches the entry.
#pragma once

#include "archive/archive_format.h"
#include "archive/compression_settings.h"
#include "compress/deflate_codec.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

struct CompressedEntry {
    std::vector<std::uint8_t> block;
    std::uint8_t md5[kMd5DigestSize] = {};
    std::uint8_t coding = 0;      // kBranchFilterCoding
    std::uint32_t dictionary = 0; // LZMA: the stream's dictionary
    // CannotOpenFile (with systemError), CannotCompressFile (outOfMemory
    // says why) or FileChanged; Success otherwise.
    ZorInstallerError failure = ZorInstallerError::Success;
    std::uint32_t systemError = 0;
    bool outOfMemory = false;
    std::exception_ptr exception; // a FileException while reading
};

// One entry's block: a "!ZQM" file (deflate, deflate-best) or a chunked LZMA
// stream of the smallest dictionary that holds it, x86 executables filtered.
// codec serves the deflate methods, one entry after another (it is reset
// here), so that its tables are made once per thread.
CompressedEntry CompressEntry(const ArchiveEntry& entry, const CompressionSettings& settings, DeflateCodec& codec);

// The dictionary a stream of size bytes gets with the given largest one.
std::uint32_t StreamDictionary(std::uint64_t size, std::uint32_t cap);

class ParallelCompressor {
public:
    // Compresses entries in order, up to threads at once, at most 2 * threads
    // results and 256 MiB of their sources in memory (one larger entry goes
    // alone); one thread: each in Take, on the caller's.
    ParallelCompressor(const std::vector<ArchiveEntry>& entries, const CompressionSettings& settings);
    ~ParallelCompressor();
    ParallelCompressor(const ParallelCompressor&) = delete;
    ParallelCompressor& operator=(const ParallelCompressor&) = delete;

    // The result of entry index, once it is done; indices in order, each once.
    CompressedEntry Take(std::size_t index);

private:
    void Work();

    const std::vector<ArchiveEntry>& entries_;
    CompressionSettings settings_;
    std::vector<CompressedEntry> results_;
    std::vector<bool> done_;
    // The source bytes of the entries being compressed or waiting for Take.
    static constexpr std::uint64_t kMaxInFlight = std::uint64_t{256} << 20;
    std::uint64_t inFlight_ = 0;
    std::size_t next_ = 0;  // the next entry a worker takes
    std::size_t taken_ = 0; // entries handed over by Take
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::thread> workers_;
    DeflateCodec codec_; // the caller's, with one thread
};
