// SHA-256 against the standard's examples, fed whole and in uneven pieces,
// and of a file.
#include "compress/sha256_digest.h"

#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += std::string{kHex[bytes[i] >> 4], kHex[bytes[i] & 15]};
    return text;
}

std::string Pattern() {
    std::string bytes;
    for (int i = 0; i < 1280; ++i) bytes += static_cast<char>(i % 256);
    return bytes;
}

TEST(Sha256Digest, GivesTheKnownDigestsInAnyPieces) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the first block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {Pattern(), "d414b085826eb06778483ba35564dc849e643359f69ed9747878ba6e54985bed"},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {c.message.size() + 1, std::size_t{1}, std::size_t{63}, std::size_t{65}}) {
            Sha256Digest sha;
            for (std::size_t at = 0; at < c.message.size(); at += piece)
                sha.Update(c.message.data() + at, std::min(piece, c.message.size() - at));
            std::uint8_t digest[kSha256DigestSize];
            sha.Final(digest);
            EXPECT_EQ(Hex(digest, sizeof digest), c.digest) << c.message.size() << " bytes in pieces of " << piece;
        }
    }
    const TempDir dir;
    EXPECT_EQ(Sha256OfFile(dir.WriteFile("pattern.bin", Pattern())), cases[4].digest);
    EXPECT_EQ(Sha256OfFile(dir / "missing.bin"), "");
}

} // namespace
