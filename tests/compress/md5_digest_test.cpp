#include "compress/md5_digest.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

std::string ToHex(const std::uint8_t digest[kMd5DigestSize]) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < kMd5DigestSize; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 0x0f];
    }
    return hex;
}

std::string FinalHex(Md5Digest& md5) {
    std::uint8_t digest[kMd5DigestSize];
    md5.Final(digest);
    return ToHex(digest);
}

std::string HashHex(std::string_view message) {
    Md5Digest md5;
    md5.Update(message.data(), message.size());
    return FinalHex(md5);
}

// Bytes that repeat every 251 positions, so no two words of a block are alike
// and a block never lines up with the previous one: a word taken from the wrong
// place or in the wrong byte order changes the digest.
std::string Pattern(std::size_t length) {
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 31 + 7) % 251);
    return bytes;
}

struct KnownDigest {
    std::size_t length;
    const char* hex;
};

// Digests of Pattern(length), from an independent MD5 implementation. The
// lengths sit on both sides of where the padding needs a second block (56
// bytes into a block) and of the block boundaries themselves.
constexpr KnownDigest kPatternDigests[] = {
    {0, "d41d8cd98f00b204e9800998ecf8427e"},    {1, "89e74e640b8c46257a29de0616794d5d"},
    {55, "d39f7454bbe034082797e66c125a31ad"},   {56, "8e9dbcce67719f0304ad52c59ff3d743"},
    {57, "a299b8643026995363f4eb94158bce68"},   {63, "19a31d9b1afbd6867266fd6cf4c8821f"},
    {64, "8d9cfa334d4e690843fa68e59c798b84"},   {65, "72d8b171f7f46898ee558ad1a86fb907"},
    {119, "ae6c390e7155118a1660c98861bc0d69"},  {120, "b4a4ce125f8932c19665e554892473c4"},
    {121, "cb263c380790f2eac9d32c0b19cc04f3"},  {127, "57aaebf11a34753459f9b60e725d4f4a"},
    {128, "8ce39ed43121181a0846c282c5ce287a"},  {129, "5a9404193c887c3ea510ca8550471c2c"},
    {1000, "e722bbb0c3185d08f1a31567e66a825b"},
};

const char* KnownPatternDigest(std::size_t length) {
    for (const KnownDigest& known : kPatternDigests) {
        if (known.length == length) return known.hex;
    }
    return nullptr;
}

TEST(Md5DigestTest, MatchesTheRfc1321TestSuite) {
    const struct {
        const char* message;
        const char* hex;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(HashHex(c.message), c.hex);
    }
}

TEST(Md5DigestTest, PadsEveryLengthAroundTheBlockBoundaries) {
    for (const KnownDigest& known : kPatternDigests) {
        SCOPED_TRACE(known.length);
        EXPECT_EQ(HashHex(Pattern(known.length)), known.hex);
    }
}

TEST(Md5DigestTest, HashesAMillionBytesFedInUnevenPieces) {
    // 997-byte pieces leave a different part of a block buffered after each
    // call, so the buffered and the direct path both run many times.
    const std::string piece(997, 'a');
    Md5Digest md5;
    std::size_t left = 1000000;
    while (left != 0) {
        const std::size_t length = left < piece.size() ? left : piece.size();
        md5.Update(piece.data(), length);
        left -= length;
    }
    EXPECT_EQ(FinalHex(md5), "7707d6ae4e027c70eea2a935c2296f21");
}

// How the message is cut into Update calls must not matter.
TEST(Md5DigestTest, GivesTheSameDigestWhereverTheMessageIsSplit) {
    const std::string message = Pattern(129);
    const std::string expected = KnownPatternDigest(message.size());
    for (std::size_t split = 0; split <= message.size(); ++split) {
        SCOPED_TRACE(split);
        Md5Digest md5;
        md5.Update(message.data(), split);
        md5.Update(message.data() + split, message.size() - split);
        EXPECT_EQ(FinalHex(md5), expected);
    }
}

TEST(Md5DigestTest, GivesTheSameDigestForOneByteAtATime) {
    for (const std::size_t length : {std::size_t{63}, std::size_t{64}, std::size_t{65}, std::size_t{1000}}) {
        SCOPED_TRACE(length);
        const std::string message = Pattern(length);
        Md5Digest md5;
        for (const char byte : message) {
            md5.Update(&byte, 1);
            md5.Update(&byte, 0);
        }
        EXPECT_EQ(FinalHex(md5), KnownPatternDigest(length));
    }
}

TEST(Md5DigestTest, ReadsInputAtAnyAlignment) {
    const std::string message = Pattern(1000);
    const std::string expected = KnownPatternDigest(message.size());
    for (std::size_t offset = 0; offset < 8; ++offset) {
        SCOPED_TRACE(offset);
        std::string shifted(offset, 'x');
        shifted += message;
        Md5Digest md5;
        md5.Update(shifted.data() + offset, message.size());
        EXPECT_EQ(FinalHex(md5), expected);
    }
}

TEST(Md5DigestTest, InitStartsANewMessage) {
    Md5Digest md5;
    md5.Update("abc", 3);
    FinalHex(md5);
    md5.Init();
    md5.Update("abc", 3);
    EXPECT_EQ(FinalHex(md5), "900150983cd24fb0d6963f7d28e17f72");

    // Abandoned mid-message: more than a block hashed and part of one buffered.
    const std::string abandoned = Pattern(100);
    md5.Init();
    md5.Update(abandoned.data(), abandoned.size());
    md5.Init();
    md5.Update("abc", 3);
    EXPECT_EQ(FinalHex(md5), "900150983cd24fb0d6963f7d28e17f72");

    md5.Init();
    EXPECT_EQ(FinalHex(md5), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(CompareMD5Test, IsTrueOnlyWhenAllSixteenBytesAgree) {
    std::uint8_t first[kMd5DigestSize];
    std::uint8_t second[kMd5DigestSize];
    for (std::size_t i = 0; i < kMd5DigestSize; ++i) first[i] = second[i] = static_cast<std::uint8_t>(0xa0 + i);
    EXPECT_TRUE(CompareMD5(first, second));
    EXPECT_TRUE(CompareMD5(first, first));

    for (std::size_t i = 0; i < kMd5DigestSize; ++i) {
        SCOPED_TRACE(i);
        second[i] ^= 0x01;
        EXPECT_FALSE(CompareMD5(first, second));
        EXPECT_FALSE(CompareMD5(second, first));
        second[i] ^= 0x01;
    }
    second[kMd5DigestSize - 1] = 0;
    EXPECT_FALSE(CompareMD5(first, second));
}

} // namespace
