// The installer's bytes do not depend on how the builder gets there: the
// digests below were taken from installers built, from the same inputs, by
// the builder that compressed each file into a temporary "!ZQM" file and read
// every source twice. Any change to the format's bytes shows here, in both
// builds (the Windows build's digests are the same).
#include "archive_test_support.h"
#include "tests/archive/golden_inputs.h"

#include "compress/md5_digest.h"

#include <gtest/gtest.h>

namespace {

std::string HexDigest(const std::string& bytes) {
    Md5Digest md5;
    md5.Update(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::uint8_t digest[kMd5DigestSize];
    md5.Final(digest);
    std::string hex;
    for (std::uint8_t byte : digest) hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
    return hex;
}

TEST(ArchiveGolden, InstallersAreByteIdenticalToTheEarlierBuilders) {
    const struct {
        bool compress;
        std::size_t size;
        const char* digest;
    } cases[] = {
        {true, 420641, "9f63d3d10420f5f17c4987d285a10bef"},
        {false, 888996, "26b52a607d90318a0fb2210d81d68d01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.compress ? "compressed" : "stored");
        TempDir dir;
        ASSERT_TRUE(golden::Build(dir.path(), dir / "Setup.exe", c.compress));
        const std::string installer = ReadWholeFile(dir / "Setup.exe");
        EXPECT_EQ(installer.size(), c.size);
        EXPECT_EQ(HexDigest(installer), c.digest);
    }
}

} // namespace
