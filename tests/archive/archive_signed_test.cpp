// Installers with an Authenticode certificate table after the archive, made
// here the way a signing tool lays them out: PE headers in the extractor
// image, zeros up to the table, the table named by the security directory;
// and the unsigned image an uninstaller is made of.
#include "archive_test_support.h"

#include "archive/pe_image.h"
#include "common/file_system.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Where the synthetic PE headers go inside the test stub (1,000 bytes).
constexpr std::size_t kPe = 0x80;
constexpr std::size_t kOptional = kPe + 24;

struct PeShape {
    std::uint16_t magic = 0x20B; // PE32+, as zorsetup.exe
    std::uint32_t directoryCount = 16;
    std::uint16_t optionalSize = 240;
};

std::size_t SecurityEntry(std::uint16_t magic) { return kOptional + (magic == 0x10B ? 96 : 112) + 4 * 8; }

void WritePeHeaders(std::string& bytes, const PeShape& shape) {
    SetField32(bytes, 0x3C, kPe);
    bytes.replace(kPe, 4, std::string("PE\0\0", 4));
    bytes[kPe + 20] = static_cast<char>(shape.optionalSize & 0xFF);
    bytes[kPe + 21] = static_cast<char>(shape.optionalSize >> 8);
    bytes[kOptional] = static_cast<char>(shape.magic & 0xFF);
    bytes[kOptional + 1] = static_cast<char>(shape.magic >> 8);
    SetField32(bytes, kOptional + (shape.magic == 0x10B ? 92 : 108), shape.directoryCount);
}

void SetSecurityDirectory(std::string& bytes, std::uint32_t offset, std::uint32_t size, std::uint16_t magic = 0x20B) {
    SetField32(bytes, SecurityEntry(magic), offset);
    SetField32(bytes, SecurityEntry(magic) + 4, size);
}

// The installer bytes signed: padding zeros, then a table of tableSize bytes.
std::string Signed(std::string bytes, std::size_t padding, const PeShape& shape = {}, std::size_t tableSize = 1496) {
    WritePeHeaders(bytes, shape);
    bytes.append(padding, '\0');
    const std::size_t table = bytes.size();
    // dwLength, wRevision 0x0200, wCertificateType 2 (PKCS#7), then filler.
    std::string certificate(tableSize, '\x5A');
    SetField32(certificate, 0, static_cast<std::uint32_t>(tableSize));
    certificate.replace(4, 4, std::string("\x00\x02\x02\x00", 4));
    bytes += certificate;
    SetSecurityDirectory(bytes, static_cast<std::uint32_t>(table), static_cast<std::uint32_t>(tableSize), shape.magic);
    return bytes;
}

class SignedLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        unsigned_ = ReadWholeFile(BuildInstaller(dir, {{"App.exe", "app"}, {"data.txt", std::string(5000, 'd')}}));
    }
    bool Load(const std::string& bytes) {
        archive = std::make_unique<InstallerArchive>();
        recorder.lines.clear();
        recorder.Attach(*archive);
        archive->SetFilePath(dir.WriteFile("input.exe", bytes));
        return archive->LoadInstaller();
    }
    void ExpectBadSignature(const std::string& bytes, const std::string& what) {
        EXPECT_FALSE(Load(bytes)) << what;
        EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::BadSignature) << what;
        EXPECT_EQ(recorder.lines.size(), 1u) << what; // the loading line alone
    }

    TempDir dir;
    LineRecorder recorder;
    std::unique_ptr<InstallerArchive> archive;
    std::string unsigned_;
};

TEST_F(SignedLoadTest, LoadsVerifiesAndExtractsAcrossEveryPadding) {
    for (std::uint16_t magic : {std::uint16_t{0x20B}, std::uint16_t{0x10B}}) {
        for (std::size_t padding = 0; padding <= 7; ++padding) {
            const std::string what = "magic " + std::to_string(magic) + ", padding " + std::to_string(padding);
            PeShape shape;
            shape.magic = magic;
            shape.optionalSize = magic == 0x10B ? 224 : 240;
            ASSERT_TRUE(Load(Signed(unsigned_, padding, shape))) << what << ": " << archive->GetErrorText();
            EXPECT_EQ(archive->GetAppName(), "Hello") << what;
            EXPECT_EQ(archive->GetShortcutName(), "Hello App") << what;
            ASSERT_EQ(archive->GetEntries().size(), 2u) << what;
            EXPECT_EQ(archive->GetEntries()[1].name, "data.txt") << what;
            EXPECT_TRUE(archive->VerifyFiles()) << what;
        }
    }
    ASSERT_TRUE(Load(Signed(unsigned_, 3)));
    const std::string out = dir / "out";
    CreateDirectoryTree(out);
    ASSERT_TRUE(archive->ExtractFiles(out));
    EXPECT_EQ(ReadWholeFile(out + PathSeparator() + "data.txt"), std::string(5000, 'd'));
}

// The lookup zorpack uses to refuse an installer given as the bare stub
// follows the loader's rule on bytes in memory.
TEST_F(SignedLoadTest, ImagesInMemoryAreJudgedByTheLoadersRule) {
    const auto carries = [](const std::string& bytes) {
        return CarriesInstallerArchive(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    };
    EXPECT_TRUE(carries(unsigned_));
    for (std::size_t padding = 0; padding <= 7; ++padding) EXPECT_TRUE(carries(Signed(unsigned_, padding))) << padding;
    EXPECT_FALSE(carries(Signed(unsigned_, 8)));
    // A signed program without an archive, and texts too short for a tailer.
    std::string program(4096, 'p');
    program[0] = 'M';
    program[1] = 'Z';
    EXPECT_FALSE(carries(Signed(program, 3)));
    EXPECT_FALSE(carries(program));
    EXPECT_FALSE(carries(std::string()));
    EXPECT_FALSE(carries(unsigned_.substr(unsigned_.size() - 63)));
}

// The block ends at the tailer, which ends where the archive does: before the
// padding and the table, never at the end of the file.
TEST_F(SignedLoadTest, AnExtensionBlockIsFoundBeforeTheTable) {
    TempDir other;
    const std::string withBlock = ReadWholeFile(
        BuildInstaller(other, {{"App.exe", "app"}}, true, 1000, "App;App -", true, {{"publisher", "Acme"}}));
    for (std::size_t padding : {std::size_t{0}, std::size_t{5}}) {
        ASSERT_TRUE(Load(Signed(withBlock, padding))) << padding << ": " << archive->GetErrorText();
        EXPECT_EQ(archive->GetExtension("publisher"), "Acme") << padding;
        EXPECT_TRUE(archive->VerifyFiles()) << padding;
    }
}

TEST_F(SignedLoadTest, PaddingIsAtMostSevenZeros) {
    ExpectBadSignature(Signed(unsigned_, 8), "8 zeros");
    std::string bytes = Signed(unsigned_, 4);
    bytes[unsigned_.size() + 2] = 1;
    ExpectBadSignature(bytes, "a padding byte not zero");
}

struct HostileCase {
    const char* name;
    void (*damage)(std::string& bytes, std::size_t archiveEnd);
};

TEST_F(SignedLoadTest, HostileHeadersAndDirectoriesFailAsABadSignature) {
    const HostileCase cases[] = {
        {"no MZ", [](std::string& b, std::size_t) { b[0] = 'X'; }},
        {"e_lfanew beyond the file", [](std::string& b, std::size_t) { SetField32(b, 0x3C, 0xFFFFFFF0); }},
        {"e_lfanew just before the end",
         [](std::string& b, std::size_t) { SetField32(b, 0x3C, static_cast<std::uint32_t>(b.size() - 30)); }},
        {"no PE signature", [](std::string& b, std::size_t) { b[kPe + 1] = 'X'; }},
        {"optional header neither PE32 nor PE32+", [](std::string& b, std::size_t) { b[kOptional] = 0x07; }},
        {"four data directories", [](std::string& b, std::size_t) { SetField32(b, kOptional + 108, 4); }},
        {"no data directories", [](std::string& b, std::size_t) { SetField32(b, kOptional + 108, 0); }},
        {"optional header too short for the security entry",
         [](std::string& b, std::size_t) {
             b[kPe + 20] = static_cast<char>(112 + 36);
             b[kPe + 21] = 0;
         }},
        {"no table", [](std::string& b, std::size_t) { SetSecurityDirectory(b, 0, 0); }},
        {"table past the end",
         [](std::string& b, std::size_t) { SetSecurityDirectory(b, static_cast<std::uint32_t>(b.size() + 8), 8); }},
        {"table ending before the end of the file",
         [](std::string& b, std::size_t end) {
             SetSecurityDirectory(b, static_cast<std::uint32_t>(end), static_cast<std::uint32_t>(b.size() - end - 8));
         }},
        {"size overflowing 32 bits",
         [](std::string& b, std::size_t end) { SetSecurityDirectory(b, static_cast<std::uint32_t>(end), 0xFFFFFFF8); }},
        {"offset plus size wrapping 32 bits to the file's length",
         [](std::string& b, std::size_t) {
             SetSecurityDirectory(b, 0xFFFFF000, static_cast<std::uint32_t>(b.size() + 0x1000));
         }},
        {"table inside the archive",
         [](std::string& b, std::size_t end) {
             const std::uint32_t start = static_cast<std::uint32_t>(end - 200);
             SetSecurityDirectory(b, start, static_cast<std::uint32_t>(b.size() - start));
         }},
        {"table over the whole file but the headers",
         [](std::string& b, std::size_t) {
             SetSecurityDirectory(b, 0x100, static_cast<std::uint32_t>(b.size() - 0x100));
         }},
        {"table starting inside the PE headers",
         [](std::string& b, std::size_t) {
             SetSecurityDirectory(b, 0x40, static_cast<std::uint32_t>(b.size() - 0x40));
         }},
        {"table at offset 0",
         [](std::string& b, std::size_t) { SetSecurityDirectory(b, 0, static_cast<std::uint32_t>(b.size())); }},
    };
    const std::string good = Signed(unsigned_, 2);
    ASSERT_TRUE(Load(good));
    for (const HostileCase& c : cases) {
        std::string bytes = good;
        c.damage(bytes, unsigned_.size());
        ExpectBadSignature(bytes, c.name);
    }
}

TEST_F(SignedLoadTest, TheArchiveEndsAtTheTable) {
    // A TOC that the tailer places inside the certificate table is outside
    // the archive, even though it is inside the file.
    std::string bytes = Signed(unsigned_, 0);
    const Layout layout = ReadLayout(unsigned_);
    SetField32(bytes, layout.tailer + 28, static_cast<std::uint32_t>(unsigned_.size() + 16));
    EXPECT_FALSE(Load(bytes));
    EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::BadToc);
    // A string may start at the archive's end, not inside the padding or
    // the table; one that runs past the end stops there.
    bytes = Signed(unsigned_, 0);
    SetField32(bytes, layout.tailer + 32, static_cast<std::uint32_t>(unsigned_.size()));
    SetField32(bytes, layout.tailer + 36, 100);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(archive->GetWindowList(), ""); // the table starts with its length, 0xD8 0x05
    SetField32(bytes, layout.tailer + 32, static_cast<std::uint32_t>(unsigned_.size() + 1));
    EXPECT_FALSE(Load(bytes));
    EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::BadToc);
}

TEST_F(SignedLoadTest, AFileEndingInATailerLoadsFromItsEnd) {
    // The directory names the last 64 bytes as a table: read that way, the
    // archive would have no tailer, so the end of the file must win.
    std::string bytes = unsigned_;
    WritePeHeaders(bytes, {});
    SetSecurityDirectory(bytes, static_cast<std::uint32_t>(bytes.size() - 64), 64);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(archive->GetEntries().size(), 2u);
    // A signed file's end tailer with a bad version is that error, not a
    // search for another tailer.
    std::string signedBytes = Signed(unsigned_, 0);
    signedBytes.append(unsigned_.end() - 64, unsigned_.end());
    SetField32(signedBytes, signedBytes.size() - 64 + 16, 0x104);
    EXPECT_FALSE(Load(signedBytes));
    EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::VersionNotSupported);
}

TEST_F(SignedLoadTest, EveryTruncationFailsCleanly) {
    const std::string good = Signed(unsigned_, 5, {}, 64);
    const std::size_t table = good.size() - unsigned_.size() - 5;
    for (std::size_t cut = 1; cut < table + 85; ++cut) {
        const std::string what = "cut " + std::to_string(cut);
        // The table cut off whole leaves the unsigned installer and its zeros.
        if (cut >= table && cut <= table + 5)
            EXPECT_TRUE(Load(good.substr(0, good.size() - cut))) << what;
        else
            ExpectBadSignature(good.substr(0, good.size() - cut), what);
    }
}

// A signature removed again leaves the table's zeros after the tailer.
TEST_F(SignedLoadTest, ZerosAfterTheTailerWithoutATable) {
    TempDir other;
    const std::string withBlock = ReadWholeFile(
        BuildInstaller(other, {{"App.exe", "app"}}, true, 1000, "App;App -", true, {{"publisher", "Acme"}}));
    const auto carries = [](const std::string& bytes) {
        return CarriesInstallerArchive(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    };
    for (std::size_t padding = 0; padding <= 8; ++padding) {
        for (const std::string* installer : {&std::as_const(unsigned_), &withBlock}) {
            const std::string bytes = *installer + std::string(padding, '\0');
            const std::string what = "padding " + std::to_string(padding);
            EXPECT_EQ(carries(bytes), padding <= 7) << what;
            if (padding == 8) {
                ExpectBadSignature(bytes, what);
                continue;
            }
            ASSERT_TRUE(Load(bytes)) << what << ": " << archive->GetErrorText();
            EXPECT_EQ(archive->GetEntries().front().name, "App.exe") << what;
            EXPECT_EQ(archive->GetExtension("publisher"), installer == &withBlock ? "Acme" : "") << what;
            EXPECT_TRUE(archive->VerifyFiles()) << what;
        }
    }
    const std::string nonzero[] = {std::string("\x01", 1), std::string("\x00\x00\x01", 3),
                                   std::string("\x01\x00\x00", 3), std::string("\x00\x00\x00 \x00\x00", 6)};
    for (const std::string& padding : nonzero) {
        const std::string bytes = unsigned_ + padding;
        EXPECT_FALSE(carries(bytes));
        ExpectBadSignature(bytes, "a padding byte not zero");
    }
}

// The PE checksum computed another way than the product does: all words
// summed in 64 bits, the carries folded in once at the end.
std::uint32_t ReferenceChecksum(std::string bytes, std::size_t checksumAt) {
    bytes.replace(checksumAt, 4, 4, '\0');
    bytes += '\0'; // an odd last byte is a word of its own
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        sum += static_cast<std::uint8_t>(bytes[i]) + 256u * static_cast<std::uint8_t>(bytes[i + 1]);
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint32_t>(sum + bytes.size() - 1);
}

constexpr std::size_t kChecksum = kOptional + 64;

// The uninstaller of a signed installer: the image up to the first data
// block (its headers still naming the table), then a record.
TEST_F(SignedLoadTest, AnUnsignedCopyNamesNoTableAndCarriesItsChecksum) {
    for (std::uint16_t magic : {std::uint16_t{0x20B}, std::uint16_t{0x10B}}) {
        for (const char* record : {"record", "odd record"}) {
            PeShape shape;
            shape.magic = magic;
            shape.optionalSize = magic == 0x10B ? 224 : 240;
            const std::string bytes = Signed(unsigned_, 3, shape).substr(0, 1000) + record;
            std::string prepared = bytes;
            PrepareUnsignedExecutable(prepared);
            const std::uint32_t checksum = Field32(prepared, kChecksum);
            EXPECT_EQ(checksum, ReferenceChecksum(prepared, kChecksum)) << magic << record;
            std::string expected = bytes;
            SetSecurityDirectory(expected, 0, 0, magic);
            SetField32(expected, kChecksum, checksum);
            EXPECT_EQ(prepared, expected) << "only the entry and the checksum change";
        }
    }
    // With no security directory there is only the checksum to set.
    std::string bytes = Signed(unsigned_, 3).substr(0, 1000);
    SetField32(bytes, kOptional + 108, 4);
    std::string prepared = bytes;
    PrepareUnsignedExecutable(prepared);
    EXPECT_EQ(Field32(prepared, SecurityEntry(0x20B)), Field32(bytes, SecurityEntry(0x20B)));
    EXPECT_EQ(Field32(prepared, kChecksum), ReferenceChecksum(prepared, kChecksum));
}

TEST_F(SignedLoadTest, BytesThatAreNoPeImageAreLeftAsTheyAre) {
    using Bytes = std::string&;
    const HostileCase cases[] = {
        {"empty", [](Bytes b, std::size_t) { b.clear(); }},
        {"shorter than the DOS header", [](Bytes b, std::size_t) { b.resize(63); }},
        {"the DOS header alone", [](Bytes b, std::size_t) { b.resize(64); }},
        {"cut before the checksum", [](Bytes b, std::size_t) { b.resize(kChecksum + 2); }},
        {"cut inside the security entry", [](Bytes b, std::size_t) { b.resize(SecurityEntry(0x20B) + 6); }},
        {"no MZ", [](Bytes b, std::size_t) { b[0] = 'Z'; }},
        {"e_lfanew beyond the end", [](Bytes b, std::size_t) { SetField32(b, 0x3C, 0xFFFFFFF0); }},
        {"e_lfanew at the end",
         [](Bytes b, std::size_t) { SetField32(b, 0x3C, static_cast<std::uint32_t>(b.size())); }},
        {"e_lfanew leaving no room for the headers",
         [](Bytes b, std::size_t) { SetField32(b, 0x3C, static_cast<std::uint32_t>(b.size() - 100)); }},
        {"no PE signature", [](Bytes b, std::size_t) { b[kPe + 2] = 'X'; }},
        {"magic 0x107", [](Bytes b, std::size_t) { b[kOptional] = 0x07; }},
        {"optional header of size 0", [](Bytes b, std::size_t) { b[kPe + 20] = b[kPe + 21] = 0; }},
        {"optional header one byte short of its directories", [](Bytes b, std::size_t) { b[kPe + 20] = '\xEF'; }},
        {"a directory count no header holds", [](Bytes b, std::size_t) { SetField32(b, kOptional + 108, 0xFFFFFFFF); }},
    };
    for (const HostileCase& c : cases) {
        std::string bytes = Signed(unsigned_, 0).substr(0, 1000);
        c.damage(bytes, 0);
        const std::string before = bytes;
        PrepareUnsignedExecutable(bytes);
        EXPECT_EQ(bytes, before) << c.name;
    }
}

// The real stub: its linker stored a checksum, which the product's sum must
// reproduce; with a record after it (and a table named as in a signed
// installer) it becomes a clean unsigned image.
TEST(PeImage, TheStubBecomesACleanUnsignedImage) {
    const std::string path = ZOR_EXTRACTOR_IMAGE;
    if (path.empty()) GTEST_SKIP() << "this build has no stub image";
    const std::string stub = ReadWholeFile(path);
    ASSERT_NE(stub, "<missing>");
    const std::size_t pe = Field32(stub, 0x3C);
    const std::size_t checksum = pe + 24 + 64;
    const std::size_t security = pe + 24 + (stub[pe + 24] == 0x0B && stub[pe + 25] == 0x01 ? 96 : 112) + 4 * 8;
    ASSERT_EQ(Field32(stub, security + 4), 0u) << "an unsigned stub";
    std::string same = stub;
    PrepareUnsignedExecutable(same);
    if (Field32(stub, checksum) != 0) {
        EXPECT_EQ(same, stub) << "the linker's checksum";
    }

    std::string uninstaller = stub + "an uninstall record";
    SetField32(uninstaller, security, static_cast<std::uint32_t>(stub.size() + 3000));
    SetField32(uninstaller, security + 4, 1496);
    PrepareUnsignedExecutable(uninstaller);
    EXPECT_EQ(Field32(uninstaller, security), 0u);
    EXPECT_EQ(Field32(uninstaller, security + 4), 0u);
    EXPECT_EQ(Field32(uninstaller, checksum), ReferenceChecksum(uninstaller, checksum));
    EXPECT_EQ(uninstaller.substr(stub.size()), "an uninstall record");
}

// Which files the x86 branch filter is meant for.
TEST(PeImage, OnlyWellFormedX86ImagesLookLikeExecutables) {
    const auto image = [](std::uint16_t machine) {
        std::string bytes(1000, '\0');
        bytes[0] = 'M';
        bytes[1] = 'Z';
        WritePeHeaders(bytes, {});
        bytes[kPe + 4] = static_cast<char>(machine & 0xFF);
        bytes[kPe + 5] = static_cast<char>(machine >> 8);
        return bytes;
    };
    std::string noMz = image(0x8664), farPe = image(0x8664), badSignature = image(0x8664);
    noMz[0] = 'N';
    SetField32(farPe, 0x3C, 998);
    badSignature[kPe + 2] = 'X';
    const struct {
        std::string bytes;
        bool expected;
    } cases[] = {
        {image(0x8664), true}, {image(0x14C), true}, {image(0xAA64), false}, {image(0x8664).substr(0, 200), false},
        {noMz, false},         {farPe, false},       {badSignature, false},  {"MZ", false},
    };
    for (const auto& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        EXPECT_EQ(LooksLikePeExecutable(bytes, c.bytes.size()), c.expected) << &c - cases;
    }
}

} // namespace
