// The publisher's icon and version information in the installer: what zorpack
// writes reads back with our resource reader, and a bad icon file is refused
// before anything is written.
#include "tests/tools/stub_resources_test.h"

#include "archive/pe_resources.h"
#include "tests/common/temp_dir.h"
#include "tests/support/fake_stub.h"
#include "tools/zorpack/icon_file.h"
#include "tools/zorpack/version_resource.h"
#include "tools/zorpack/zorpack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

using namespace zorpack;

namespace {

void Put16(std::string& bytes, unsigned value) {
    bytes += static_cast<char>(value);
    bytes += static_cast<char>(value >> 8);
}
void Put32(std::string& bytes, std::uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

int Build(const std::vector<std::string>& arguments, std::string& err) {
    std::ostringstream out, errors;
    Console console{out, errors, false};
    const int code = Run(arguments, console);
    err = errors.str();
    return code;
}

const PeResource* Find(const std::vector<PeResource>& resources, std::uint16_t type, std::uint16_t name) {
    for (const PeResource& r : resources)
        if (r.type.number == type && r.name.number == name) return &r;
    return nullptr;
}

bool HoldsText(const std::vector<std::uint8_t>& data, std::u16string_view text) {
    std::vector<std::uint8_t> units;
    for (char16_t unit : text) {
        units.push_back(static_cast<std::uint8_t>(unit));
        units.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return std::search(data.begin(), data.end(), units.begin(), units.end()) != data.end();
}

} // namespace

std::string TwoImageIcon() {
    std::string bitmap; // 1x1, 32 bits per pixel, with its mask
    for (std::uint32_t field : {40u, 1u, 2u}) Put32(bitmap, field);
    Put16(bitmap, 1);
    Put16(bitmap, 32);
    bitmap += std::string(24, '\0');
    bitmap += std::string("\x20\x40\x80\xFF", 4) + std::string(4, '\0');
    const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + std::string(40, 'p');
    std::string icon;
    Put16(icon, 0);
    Put16(icon, 1);
    Put16(icon, 2);
    std::uint32_t offset = 6 + 2 * 16;
    const std::string* images[] = {&bitmap, &png};
    for (const std::string* image : images) {
        const bool big = image == &png;
        icon += static_cast<char>(big ? 0 : 1);
        icon += static_cast<char>(big ? 0 : 1);
        icon += std::string(2, '\0');
        Put16(icon, 1);
        Put16(icon, 32);
        Put32(icon, static_cast<std::uint32_t>(image->size()));
        Put32(icon, offset);
        offset += static_cast<std::uint32_t>(image->size());
    }
    return icon + bitmap + png;
}

std::string BuildIconInstaller(const TempDir& dir, std::string& err) {
    const std::string setup = dir / "Demo Setup.exe";
    const int code =
        Build({"build", "-o", setup, "--name", "Demo", "--version", "1.2.3-beta", "--publisher", "Acme Tools",
               "--copyright", "© 2026 Acme", "--icon", dir.WriteFile("app.ico", TwoImageIcon()), "--stub",
               ZOR_EXTRACTOR_IMAGE, dir.WriteFile("App.exe", std::string(3000, 'a'))},
              err);
    return code == kExitSuccess ? setup : "";
}

namespace {

TEST(StubResources, TheInstallerCarriesTheIconAndVersionInformation) {
    if (std::string(ZOR_EXTRACTOR_IMAGE).empty()) GTEST_SKIP() << "this build has no stub image";
    TempDir dir;
    std::string err;
    const std::string setup = BuildIconInstaller(dir, err);
    ASSERT_FALSE(setup.empty()) << err;
    const std::string bytes = ReadWholeFile(setup);
    std::vector<PeResource> resources;
    ASSERT_TRUE(ReadPeResources({bytes.begin(), bytes.end()}, resources, err)) << err;

    std::vector<std::uint8_t> icon;
    for (char c : TwoImageIcon()) icon.push_back(static_cast<std::uint8_t>(c));
    std::vector<IconImage> images;
    ASSERT_TRUE(ParseIconFile(icon, images, err)) << err;
    const PeResource* group = Find(resources, pe_resource_type::kGroupIcon, 1);
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->data == IconGroupResource(images, 1));
    for (std::uint16_t i = 0; i < 2; ++i) {
        const PeResource* image = Find(resources, pe_resource_type::kIcon, static_cast<std::uint16_t>(i + 1));
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(image->data == images[i].data);
    }
    const PeResource* version = Find(resources, pe_resource_type::kVersion, 1);
    ASSERT_NE(version, nullptr);
    for (std::u16string_view text : {u"Acme Tools", u"Demo Setup", u"© 2026 Acme", u"1.2.3-beta", u"Demo Setup.exe"})
        EXPECT_TRUE(HoldsText(version->data, text)) << text.size() << " units";
    EXPECT_NE(Find(resources, pe_resource_type::kManifest, 1), nullptr);
    // The installer still reads as one.
    EXPECT_EQ(Build({"verify", setup}, err), kExitSuccess) << err;
}

TEST(StubResources, AnIconFileThatIsNoneIsRefusedBeforeAnythingIsWritten) {
    const std::string good = TwoImageIcon();
    const auto with = [&](std::size_t at, std::uint32_t value) {
        std::string icon = good;
        for (int i = 0; i < 4; ++i) icon[at + i] = static_cast<char>(value >> (8 * i));
        return icon;
    };
    const struct {
        const char* what;
        std::string icon;
    } cases[] = {
        {"empty", ""},
        {"a cursor's header", with(0, 0x00020000)},
        {"no image", with(2, 0x00000001).substr(0, 6)},
        {"more images than the file lists", with(4, 0x00000009).substr(0, 38) + good.substr(38)},
        {"an image past the end", with(6 + 8, 0x10000)},
        {"an image inside the list", with(6 + 12, 8)},
        {"an image of no bytes", with(6 + 8, 0)},
        {"neither PNG nor bitmap", with(38, 0x12345678)},
    };
    TempDir dir;
    const std::string app = dir.WriteFile("App.exe", "app");
    const std::string stub = dir.WriteFile("stub.exe", FakeStubImage());
    for (const auto& c : cases) {
        const std::string setup = dir / "Setup.exe";
        std::string err;
        EXPECT_NE(Build({"build", "-o", setup, "--name", "Demo", "--version", "1", "--stub", stub, "--icon",
                         dir.WriteFile("bad.ico", c.icon), app},
                        err),
                  kExitSuccess)
            << c.what;
        EXPECT_EQ(err.rfind("zorpack: the icon", 0), 0u) << c.what << ": " << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << c.what;
        EXPECT_FALSE(std::filesystem::exists(setup)) << c.what;
    }
}

TEST(VersionNumbers, TakeTheLeadingNumericParts) {
    const struct {
        const char* text;
        std::array<std::uint16_t, 4> numbers;
    } cases[] = {
        {"1.2.3.4", {1, 2, 3, 4}}, {"2.1.7-beta", {2, 1, 7, 0}}, {"10", {10, 0, 0, 0}}, {"1.2.3.4.5", {1, 2, 3, 4}},
        {"v1.2", {0, 0, 0, 0}},    {"1.65536.2", {1, 0, 0, 0}},  {"", {0, 0, 0, 0}},    {"3..4", {3, 0, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(VersionNumbers(c.text), c.numbers) << c.text;
}

} // namespace
