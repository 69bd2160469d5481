// Inputs for the compression benchmarks, built in memory when the benchmark
// starts: real files of this machine, synthetic extremes, and an input crafted
// against a bucket hash a deflate encoder might use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Windows PE images (.dll and .exe) of Wine's 64-bit library directory,
// concatenated in name order and cut at size bytes. Shorter (possibly empty)
// when the directory holds less.
Bytes MakePeCorpus(std::size_t size);

// C and C++ headers from /usr/include for the first half, then text from
// /usr/share/doc, each in path order, cut at size bytes. Files containing a
// zero byte, compressed files and symbolic links are left out.
Bytes MakeTextCorpus(std::size_t size);

// size zero bytes.
Bytes MakeZeroCorpus(std::size_t size);

// size bytes of a fixed-seed std::mt19937_64: the same bytes on every run.
Bytes MakeRandomCorpus(std::size_t size);

// The bucket of a three-byte sequence under the classic multiplicative hash
// (b0 * 257 + b1 * 263 + b2 * 269) mod 2039.
inline constexpr std::uint32_t kClassicBuckets = 2039;
inline std::uint32_t ClassicBucket(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2) {
    return (b0 * 257u + b1 * 263u + b2 * 269u) % kClassicBuckets;
}

struct AdversarialInput {
    Bytes data;
    std::uint32_t bucket = 0;   // the classic bucket the input aims at
    std::size_t inBucket = 0;   // overlapping three-byte sequences that fall into it
    std::size_t sequences = 0;  // overlapping three-byte sequences in all
    std::size_t distinct = 0;   // distinct three-byte sequences among those in the bucket
    std::size_t longestRun = 0; // most consecutive sequences in the bucket
};

// size bytes that pile as many three-byte sequences as this hash allows into
// one classic bucket while keeping them as varied as possible, so that an
// encoder chaining positions by that hash walks long chains of candidates that
// all fail. Deterministic.
AdversarialInput MakeAdversarialInput(std::size_t size);
