#include "compress/md5_digest.h"

#include <bit>
#include <cstring>

// Message words are read from the input, and chaining words written to the
// digest, with plain memcpy: that is only the little-endian order MD5 requires
// when the host itself is little-endian, which every target of the installer is.
static_assert(std::endian::native == std::endian::little, "Md5Digest assumes a little-endian host");

namespace {

constexpr std::size_t kBlockSize = 64;
// Where the 64-bit message length goes in the last block.
constexpr std::size_t kLengthOffset = kBlockSize - sizeof(std::uint64_t);

// Each step computes a = b + ((a + f(b, c, d) + word + constant) <<< Shift).
// The previous step's result arrives in b, so everything that does not depend
// on b (the word, the constant and, where possible, part of f) is added to a
// first; only the few operations that need b stay on the chain from one step
// to the next, which is what bounds the speed of MD5 on a modern processor.

// f = (b & c) | (~b & d), written as a select that needs one operation fewer.
template <int Shift>
inline void StepF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                  std::uint32_t constant) {
    a += word + constant + (d ^ (b & (c ^ d)));
    a = b + std::rotl(a, Shift);
}

// g = (b & d) | (c & ~d). The two terms never have a bit in common, so their
// OR equals their sum, and c & ~d can be added before b is known.
template <int Shift>
inline void StepG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                  std::uint32_t constant) {
    a += word + constant + (c & ~d);
    a += b & d;
    a = b + std::rotl(a, Shift);
}

// h = b ^ c ^ d.
template <int Shift>
inline void StepH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                  std::uint32_t constant) {
    a += word + constant + (b ^ c ^ d);
    a = b + std::rotl(a, Shift);
}

// i = c ^ (b | ~d).
template <int Shift>
inline void StepI(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t word,
                  std::uint32_t constant) {
    a += word + constant + (c ^ (b | ~d));
    a = b + std::rotl(a, Shift);
}

} // namespace

void Md5Digest::Init() {
    state_[0] = 0x67452301;
    state_[1] = 0xefcdab89;
    state_[2] = 0x98badcfe;
    state_[3] = 0x10325476;
    bitCount_ = 0;
}

void Md5Digest::Update(const void* data, std::size_t length) {
    if (length == 0) return;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    const auto buffered = static_cast<std::size_t>((bitCount_ >> 3) % kBlockSize);
    // MD5 keeps the message length modulo 2^64 bits; the wrap-around is intended.
    bitCount_ += static_cast<std::uint64_t>(length) << 3;

    if (buffered != 0) {
        const std::size_t room = kBlockSize - buffered;
        if (length < room) {
            std::memcpy(buffer_ + buffered, bytes, length);
            return;
        }
        std::memcpy(buffer_ + buffered, bytes, room);
        ProcessBlocks(buffer_, 1);
        bytes += room;
        length -= room;
    }
    // Whole blocks are hashed where the caller keeps them; only a trailing
    // partial block is copied.
    if (const std::size_t blocks = length / kBlockSize; blocks != 0) {
        ProcessBlocks(bytes, blocks);
        bytes += blocks * kBlockSize;
        length -= blocks * kBlockSize;
    }
    if (length != 0) std::memcpy(buffer_, bytes, length);
}

void Md5Digest::Final(std::uint8_t digest[kMd5DigestSize]) {
    // The length is taken before padding, which must not count towards it.
    const std::uint64_t bitCount = bitCount_;
    std::size_t used = static_cast<std::size_t>((bitCount >> 3) % kBlockSize);

    // A single 1 bit, then zeros up to 8 bytes short of a block boundary; when
    // the 1 bit leaves no room for the length, the zeros fill this block and
    // the next one.
    buffer_[used++] = 0x80;
    if (used > kLengthOffset) {
        std::memset(buffer_ + used, 0, kBlockSize - used);
        ProcessBlocks(buffer_, 1);
        used = 0;
    }
    std::memset(buffer_ + used, 0, kLengthOffset - used);
    std::memcpy(buffer_ + kLengthOffset, &bitCount, sizeof bitCount);
    ProcessBlocks(buffer_, 1);

    static_assert(sizeof state_ == kMd5DigestSize);
    std::memcpy(digest, state_, kMd5DigestSize);
}

void Md5Digest::ProcessBlocks(const std::uint8_t* blocks, std::size_t count) {
    std::uint32_t a = state_[0];
    std::uint32_t b = state_[1];
    std::uint32_t c = state_[2];
    std::uint32_t d = state_[3];

    for (; count != 0; --count, blocks += kBlockSize) {
        std::uint32_t x[16];
        std::memcpy(x, blocks, kBlockSize);
        const std::uint32_t startA = a;
        const std::uint32_t startB = b;
        const std::uint32_t startC = c;
        const std::uint32_t startD = d;

        // The constants are the integer parts of 2^32 * |sin(i)|, i = 1..64.
        // Round 1: words in order.
        StepF<7>(a, b, c, d, x[0], 0xd76aa478);
        StepF<12>(d, a, b, c, x[1], 0xe8c7b756);
        StepF<17>(c, d, a, b, x[2], 0x242070db);
        StepF<22>(b, c, d, a, x[3], 0xc1bdceee);
        StepF<7>(a, b, c, d, x[4], 0xf57c0faf);
        StepF<12>(d, a, b, c, x[5], 0x4787c62a);
        StepF<17>(c, d, a, b, x[6], 0xa8304613);
        StepF<22>(b, c, d, a, x[7], 0xfd469501);
        StepF<7>(a, b, c, d, x[8], 0x698098d8);
        StepF<12>(d, a, b, c, x[9], 0x8b44f7af);
        StepF<17>(c, d, a, b, x[10], 0xffff5bb1);
        StepF<22>(b, c, d, a, x[11], 0x895cd7be);
        StepF<7>(a, b, c, d, x[12], 0x6b901122);
        StepF<12>(d, a, b, c, x[13], 0xfd987193);
        StepF<17>(c, d, a, b, x[14], 0xa679438e);
        StepF<22>(b, c, d, a, x[15], 0x49b40821);
        // Round 2: words 1 + 5i (mod 16).
        StepG<5>(a, b, c, d, x[1], 0xf61e2562);
        StepG<9>(d, a, b, c, x[6], 0xc040b340);
        StepG<14>(c, d, a, b, x[11], 0x265e5a51);
        StepG<20>(b, c, d, a, x[0], 0xe9b6c7aa);
        StepG<5>(a, b, c, d, x[5], 0xd62f105d);
        StepG<9>(d, a, b, c, x[10], 0x02441453);
        StepG<14>(c, d, a, b, x[15], 0xd8a1e681);
        StepG<20>(b, c, d, a, x[4], 0xe7d3fbc8);
        StepG<5>(a, b, c, d, x[9], 0x21e1cde6);
        StepG<9>(d, a, b, c, x[14], 0xc33707d6);
        StepG<14>(c, d, a, b, x[3], 0xf4d50d87);
        StepG<20>(b, c, d, a, x[8], 0x455a14ed);
        StepG<5>(a, b, c, d, x[13], 0xa9e3e905);
        StepG<9>(d, a, b, c, x[2], 0xfcefa3f8);
        StepG<14>(c, d, a, b, x[7], 0x676f02d9);
        StepG<20>(b, c, d, a, x[12], 0x8d2a4c8a);
        // Round 3: words 5 + 3i (mod 16).
        StepH<4>(a, b, c, d, x[5], 0xfffa3942);
        StepH<11>(d, a, b, c, x[8], 0x8771f681);
        StepH<16>(c, d, a, b, x[11], 0x6d9d6122);
        StepH<23>(b, c, d, a, x[14], 0xfde5380c);
        StepH<4>(a, b, c, d, x[1], 0xa4beea44);
        StepH<11>(d, a, b, c, x[4], 0x4bdecfa9);
        StepH<16>(c, d, a, b, x[7], 0xf6bb4b60);
        StepH<23>(b, c, d, a, x[10], 0xbebfbc70);
        StepH<4>(a, b, c, d, x[13], 0x289b7ec6);
        StepH<11>(d, a, b, c, x[0], 0xeaa127fa);
        StepH<16>(c, d, a, b, x[3], 0xd4ef3085);
        StepH<23>(b, c, d, a, x[6], 0x04881d05);
        StepH<4>(a, b, c, d, x[9], 0xd9d4d039);
        StepH<11>(d, a, b, c, x[12], 0xe6db99e5);
        StepH<16>(c, d, a, b, x[15], 0x1fa27cf8);
        StepH<23>(b, c, d, a, x[2], 0xc4ac5665);
        // Round 4: words 7i (mod 16).
        StepI<6>(a, b, c, d, x[0], 0xf4292244);
        StepI<10>(d, a, b, c, x[7], 0x432aff97);
        StepI<15>(c, d, a, b, x[14], 0xab9423a7);
        StepI<21>(b, c, d, a, x[5], 0xfc93a039);
        StepI<6>(a, b, c, d, x[12], 0x655b59c3);
        StepI<10>(d, a, b, c, x[3], 0x8f0ccc92);
        StepI<15>(c, d, a, b, x[10], 0xffeff47d);
        StepI<21>(b, c, d, a, x[1], 0x85845dd1);
        StepI<6>(a, b, c, d, x[8], 0x6fa87e4f);
        StepI<10>(d, a, b, c, x[15], 0xfe2ce6e0);
        StepI<15>(c, d, a, b, x[6], 0xa3014314);
        StepI<21>(b, c, d, a, x[13], 0x4e0811a1);
        StepI<6>(a, b, c, d, x[4], 0xf7537e82);
        StepI<10>(d, a, b, c, x[11], 0xbd3af235);
        StepI<15>(c, d, a, b, x[2], 0x2ad7d2bb);
        StepI<21>(b, c, d, a, x[9], 0xeb86d391);

        a += startA;
        b += startB;
        c += startC;
        d += startD;
    }

    state_[0] = a;
    state_[1] = b;
    state_[2] = c;
    state_[3] = d;
}

bool CompareMD5(const std::uint8_t first[kMd5DigestSize], const std::uint8_t second[kMd5DigestSize]) {
    return std::memcmp(first, second, kMd5DigestSize) == 0;
}
