// SHA-256 message digests (FIPS 180-4), as package managers name the files
// they download.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline constexpr std::size_t kSha256DigestSize = 32;

// One SHA-256 computation: any number of Update calls with any lengths, then
// Final once.
class Sha256Digest {
public:
    Sha256Digest();

    void Update(const void* data, std::size_t length);
    // Pads the message and writes its digest (big-endian words) into digest.
    void Final(std::uint8_t digest[kSha256DigestSize]);

private:
    void ProcessBlock(const std::uint8_t* block);

    std::uint32_t state_[8];
    std::uint64_t length_ = 0; // bytes so far
    std::uint8_t buffer_[64];
    std::size_t buffered_ = 0;
};

// The digest of the file at path as 64 lower-case hex digits; empty when it
// cannot be read (the last error says why).
std::string Sha256OfFile(const std::string& path);
