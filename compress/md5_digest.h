// MD5 message digests (RFC 1321), bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>

// A digest: the four chaining words, each least-significant byte first. This
// is the order stored in the installer's table of contents.
inline constexpr std::size_t kMd5DigestSize = 16;

// One MD5 computation in progress: Init (or construction), any number of
// Update calls with any lengths, then Final.
class Md5Digest {
public:
    Md5Digest() { Init(); }
    virtual ~Md5Digest() = default;

    // Starts a new message.
    void Init();
    // Adds length bytes to the message.
    void Update(const void* data, std::size_t length);
    // Pads the message, writes its digest into digest and leaves the object to
    // be reset with Init before further use.
    void Final(std::uint8_t digest[kMd5DigestSize]);

private:
    void ProcessBlocks(const std::uint8_t* blocks, std::size_t count);

    std::uint32_t state_[4];
    std::uint64_t bitCount_;
    std::uint8_t buffer_[64];
};

// True when the two digests are equal in all 16 bytes.
bool CompareMD5(const std::uint8_t first[kMd5DigestSize], const std::uint8_t second[kMd5DigestSize]);
