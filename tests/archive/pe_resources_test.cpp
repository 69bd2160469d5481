// The resource section rewrite, on the real stub: what is read back is what
// was written, the image stays a consistent PE file, and images it cannot
// rewrite safely are refused whole.
#include "archive/pe_resources.h"

#include "tests/common/temp_dir.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_stub.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::uint8_t> StubImage() {
    const std::string path = ZOR_EXTRACTOR_IMAGE;
    if (path.empty()) return {};
    const std::string bytes = ReadWholeFile(path);
    return {bytes.begin(), bytes.end()};
}

std::uint32_t At32(const std::vector<std::uint8_t>& image, std::size_t at) {
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | static_cast<std::uint32_t>(image[at + 3]) << 24;
}

bool SameResources(const std::vector<PeResource>& a, const std::vector<PeResource>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const PeResource& x, const PeResource& y) {
               return x.type == y.type && x.name == y.name && x.language == y.language && x.codePage == y.codePage &&
                      x.data == y.data;
           });
}

TEST(PeResources, AddedResourcesReadBackAndTheImageStaysConsistent) {
    std::vector<std::uint8_t> image = StubImage();
    if (image.empty()) GTEST_SKIP() << "this build has no stub image";
    std::vector<PeResource> resources;
    std::string error;
    ASSERT_TRUE(ReadPeResources(image, resources, error)) << error;
    ASSERT_TRUE(std::any_of(resources.begin(), resources.end(),
                            [](const PeResource& r) { return r.type.number == pe_resource_type::kManifest; }));
    const std::vector<PeResource> before = resources;

    // Larger than the section was, named and numbered, so that the
    // relocations behind it must move.
    resources.push_back({{u"", pe_resource_type::kVersion}, {u"", 1}, 0x0409, 0, std::vector<std::uint8_t>(70000, 7)});
    resources.push_back({{u"CUSTOM", 0}, {u"BLOB", 0}, 0, 1252, {1, 2, 3}});
    std::vector<std::uint8_t> written = image;
    ASSERT_TRUE(WritePeResources(written, resources, error)) << error;
    std::vector<PeResource> back;
    ASSERT_TRUE(ReadPeResources(written, back, error)) << error;
    // Read back in the tree's order: named types first, numbers ascending.
    EXPECT_EQ(back.front().type.name, u"CUSTOM");
    std::vector<PeResource> expected(back.begin() + 1, back.end());
    EXPECT_EQ(expected.size(), before.size() + 1);
    for (const PeResource& r : before)
        EXPECT_TRUE(
            std::any_of(back.begin(), back.end(), [&](const PeResource& b) { return SameResources({b}, {r}); }));

    // Writing the same resources again gives the same bytes; writing the
    // original ones gives back an image of the original size.
    std::vector<std::uint8_t> again = written;
    ASSERT_TRUE(WritePeResources(again, back, error)) << error;
    EXPECT_TRUE(again == written);
    ASSERT_TRUE(WritePeResources(again, before, error)) << error;
    EXPECT_EQ(again.size(), image.size());

    // Every section lies inside the file, and SizeOfImage covers the last.
    const std::size_t pe = At32(written, 0x3C);
    const std::size_t sections = pe + 24 + (written[pe + 20] | written[pe + 21] << 8);
    const std::size_t count = written[pe + 6] | written[pe + 7] << 8;
    std::uint32_t end = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t header = sections + 40 * i;
        EXPECT_LE(std::uint64_t{At32(written, header + 20)} + At32(written, header + 16), written.size());
        end = std::max(end, At32(written, header + 12) + At32(written, header + 8));
    }
    EXPECT_GE(At32(written, pe + 24 + 56), end);
}

TEST(PeResources, RefusesWhatItCannotRewriteSafely) {
    std::vector<std::uint8_t> stub = StubImage();
    if (stub.empty()) GTEST_SKIP() << "this build has no stub image";
    const std::size_t pe = At32(stub, 0x3C);
    const std::size_t directories = pe + 24 + 112;
    const auto with = [&](std::size_t at, std::uint32_t value) {
        std::vector<std::uint8_t> image = stub;
        for (int i = 0; i < 4; ++i) image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return image;
    };
    const std::string fake = FakeStubImage();
    const struct {
        const char* what;
        std::vector<std::uint8_t> image;
    } cases[] = {
        {"no PE image", {fake.begin(), fake.end()}},
        {"a signed image", with(directories + 4 * 8 + 4, 1000)},
        {"a resource directory in no section", with(directories + 2 * 8, 0x7FFFFFF0)},
        {"a symbol table", with(pe + 12, 0x100)},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> image = c.image;
        std::string error;
        EXPECT_FALSE(WritePeResources(image, {}, error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        EXPECT_TRUE(image == c.image) << c.what;
    }
}

// Every truncation and byte flip of the resource section is read or refused,
// never read past.
TEST(PeResources, HostileTreesAreRefusedOrReadWithinBounds) {
    std::vector<std::uint8_t> image = StubImage();
    if (image.empty()) GTEST_SKIP() << "this build has no stub image";
    const std::size_t pe = At32(image, 0x3C);
    const std::uint32_t rva = At32(image, pe + 24 + 112 + 16);
    const std::size_t sections = pe + 24 + (image[pe + 20] | image[pe + 21] << 8);
    std::size_t raw = 0, size = 0;
    const std::size_t count = image[pe + 6] | image[pe + 7] << 8;
    for (std::size_t i = 0; i < count; ++i)
        if (At32(image, sections + 40 * i + 12) == rva) {
            raw = At32(image, sections + 40 * i + 20);
            size = At32(image, sections + 40 * i + 16);
        }
    ASSERT_NE(raw, 0u);
    for (std::size_t at = raw; at < raw + std::min<std::size_t>(size, 1024); ++at)
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<std::uint8_t> damaged = image;
            damaged[at] ^= flip;
            std::vector<PeResource> resources;
            std::string error;
            ReadPeResources(damaged, resources, error);
        }
}

} // namespace
