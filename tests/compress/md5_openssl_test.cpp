// Checks Md5Digest against OpenSSL's MD5 on random data; built only where
// OpenSSL is available.
#include "compress/md5_digest.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> RandomBytes(std::mt19937& random, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

std::vector<std::uint8_t> OpenSslMd5(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> digest(EVP_MAX_MD_SIZE);
    unsigned int length = 0;
    EXPECT_EQ(EVP_Digest(data.data(), data.size(), digest.data(), &length, EVP_md5(), nullptr), 1);
    EXPECT_EQ(length, kMd5DigestSize);
    digest.resize(kMd5DigestSize);
    return digest;
}

std::vector<std::uint8_t> OurMd5(const std::vector<std::uint8_t>& data) {
    Md5Digest md5;
    md5.Update(data.data(), data.size());
    std::vector<std::uint8_t> digest(kMd5DigestSize);
    md5.Final(digest.data());
    return digest;
}

TEST(Md5OpenSslTest, AgreesOnEveryLengthUpTo300) {
    std::mt19937 random(20240611);
    for (std::size_t length = 0; length <= 300; ++length) {
        SCOPED_TRACE(length);
        const std::vector<std::uint8_t> data = RandomBytes(random, length);
        EXPECT_EQ(OurMd5(data), OpenSslMd5(data));
    }
}

TEST(Md5OpenSslTest, AgreesOnLargeInputsInOneCallAndInRandomPieces) {
    std::mt19937 random(77);
    for (const std::size_t length :
         {std::size_t{4096}, std::size_t{65536 + 63}, std::size_t{(1 << 20) + 17}, std::size_t{(3 << 20) + 55}}) {
        SCOPED_TRACE(length);
        const std::vector<std::uint8_t> data = RandomBytes(random, length);
        const std::vector<std::uint8_t> expected = OpenSslMd5(data);
        EXPECT_EQ(OurMd5(data), expected);

        Md5Digest md5;
        std::uniform_int_distribution<std::size_t> pieceLength(0, 1000);
        for (std::size_t done = 0; done < length;) {
            const std::size_t piece = std::min(pieceLength(random), length - done);
            md5.Update(data.data() + done, piece);
            done += piece;
        }
        std::vector<std::uint8_t> pieces(kMd5DigestSize);
        md5.Final(pieces.data());
        EXPECT_EQ(pieces, expected);
    }
}

} // namespace
