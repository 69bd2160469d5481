// The extension block between the strings and the tailer: what the builder
// writes, that a reader which skips it sees the installer unchanged, and
// that every damaged or invalid block refuses the whole installer.
#include "archive_test_support.h"

#include "common/file_system.h"
#include "tests/support/bytes.h"

#include <gtest/gtest.h>

namespace {

const std::vector<ExtensionPair> kPairs = {{"publisher", "Acme Tools"},
                                           {"install-dir", "{ProgramFiles}\\{Publisher}\\{AppName}"}};

std::string Text(const std::string& text) { return Le32(static_cast<std::uint32_t>(text.size())) + text; }

// A block written by hand, so that any field can hold anything.
std::string Block(const std::string& body, std::uint32_t count, std::int64_t lengthDelta = 0, std::uint32_t version = 1,
                  const std::string& magic = "ZEXT") {
    return magic + Le32(version) + Le32(static_cast<std::uint32_t>(16 + body.size() + lengthDelta)) + Le32(count) +
           body;
}

class ExtensionTest : public ::testing::Test {
protected:
    // Every build reads the same source files, written once: their times
    // are stored, so installers built from copies would differ in them.
    std::string Build(const std::vector<ExtensionPair>& extensions) {
        const bool writeSources = !sourcesWritten;
        sourcesWritten = true;
        return ReadWholeFile(BuildInstaller(buildDir, {{"App.exe", "app"}, {"data.txt", "data"}}, true, 1000,
                                            "App;App -", writeSources, extensions));
    }
    bool Load(const std::string& bytes, std::string* error = nullptr) {
        archive = std::make_unique<InstallerArchive>();
        recorder.lines.clear();
        recorder.Attach(*archive);
        archive->SetFilePath(dir.WriteFile("input.exe", bytes));
        return archive->LoadInstaller(error);
    }
    // An installer without a block with block put before its tailer.
    std::string WithBlock(const std::string& block) {
        std::string bytes = Build({});
        bytes.insert(bytes.size() - 64, block);
        return bytes;
    }

    TempDir dir, buildDir;
    bool sourcesWritten = false;
    LineRecorder recorder;
    std::unique_ptr<InstallerArchive> archive;
};

TEST_F(ExtensionTest, TheBuilderWritesThePairsAndTheLoaderReadsThemBack) {
    ASSERT_TRUE(Load(Build(kPairs)));
    ASSERT_EQ(archive->GetExtensions().size(), 2u);
    EXPECT_EQ(archive->GetExtensions()[0].key, "publisher");
    EXPECT_EQ(archive->GetExtensions()[0].value, "Acme Tools");
    EXPECT_EQ(archive->GetExtensions()[1].key, "install-dir");
    EXPECT_EQ(archive->GetExtension("install-dir"), "{ProgramFiles}\\{Publisher}\\{AppName}");
    EXPECT_EQ(archive->GetExtension("absent"), "");
    EXPECT_EQ(recorder.lines.back(), "Reading extension block...");
    EXPECT_TRUE(archive->VerifyFiles());
}

TEST_F(ExtensionTest, WithoutPairsNoBlockIsWrittenAndNoneIsRead) {
    const std::string plain = Build({});
    const Layout layout = ReadLayout(plain);
    // The tailer follows the shortcut name, the last string, directly.
    EXPECT_EQ(layout.stringOffset[3] + layout.stringLength[3], layout.tailer);
    ASSERT_TRUE(Load(plain));
    EXPECT_TRUE(archive->GetExtensions().empty());
    EXPECT_EQ(recorder.lines.back(), "Reading Shortcut name...");
}

// What a reader that knows nothing of the block sees: the tailer, and what it
// points to, are the same bytes at the same offsets; the block is only
// inserted before the tailer. So the reading code with the block bypassed
// loads the installer exactly as before.
TEST_F(ExtensionTest, ABlockIsInvisibleToAReaderThatSkipsIt) {
    const std::string plain = Build({});
    std::string withBlock = Build(kPairs);
    // Reading the sources for the first build may have moved their access
    // times (Windows keeps them up to date); those fields are not compared.
    for (std::size_t record : ReadLayout(plain).records) {
        const std::size_t at = record + archive_format::record_field::kLastAccessTime;
        withBlock.replace(at, 8, plain, at, 8);
    }
    const std::string block = EncodeExtensionBlock(kPairs);
    ASSERT_EQ(withBlock.size(), plain.size() + block.size());
    EXPECT_EQ(withBlock.substr(0, plain.size() - 64), plain.substr(0, plain.size() - 64));
    EXPECT_EQ(withBlock.substr(plain.size() - 64, block.size()), block);
    EXPECT_EQ(withBlock.substr(withBlock.size() - 64), plain.substr(plain.size() - 64));

    // The same bytes with the block cut out, as the old reader takes them.
    std::string skipped = withBlock;
    skipped.erase(plain.size() - 64, block.size());
    ASSERT_TRUE(Load(skipped));
    EXPECT_TRUE(archive->GetExtensions().empty());
    EXPECT_EQ(archive->GetShortcutName(), "Hello App");
    EXPECT_TRUE(archive->VerifyFiles());
}

TEST_F(ExtensionTest, DamagedOrInvalidBlocksRefuseTheInstaller) {
    const std::string publisher = Text("publisher") + Text("Acme");
    const struct {
        const char* name;
        std::string block;
        const char* reason;
    } cases[] = {
        {"garbage after the strings", std::string(20, 'x'), "does not start with \"ZEXT\""},
        {"shorter than its header", "ZEXT", "does not start with \"ZEXT\""},
        {"other magic", Block(publisher, 1, 0, 1, "ZEXU"), "does not start with \"ZEXT\""},
        {"version 2", Block(publisher, 1, 0, 2), "has version 2"},
        {"length past the archive's end", Block(publisher, 1, 0x7FFFFFFF), "has a length of"},
        {"length short of the tailer", Block(publisher, 1, -1), "has a length of"},
        {"huge count", Block(publisher, 0xFFFFFFFF), "counts 4294967295 pairs"},
        {"count of two, one pair", Block(publisher, 2), "has pair 2 cut short"},
        {"value length past the block", Block(Text("publisher") + Le32(0xFFFFFFF0) + "Acme", 1), "cut short"},
        {"key cut short", Block(Le32(20) + "publi" + Le32(0), 1), "has pair 1 cut short"},
        {"bytes after the last pair", Block(publisher + "zz", 1), "has 2 bytes after its last pair"},
        {"duplicate keys", Block(publisher + publisher, 2), "has the key 'publisher' twice"},
        {"value not UTF-8", Block(Text("publisher") + Text("Ac\xC3"), 1), "is not UTF-8 text"},
        {"value with a NUL", Block(Text("note") + Text(std::string("a\0b", 3)), 1), "is not UTF-8 text"},
        {"empty key", Block(Text("") + Text("x"), 1), "has a key of 0 bytes"},
        {"key with upper case", Block(Text("Publisher") + Text("x"), 1), "other than a-z"},
        {"publisher with a separator", Block(Text("publisher") + Text("a\\b"), 1), "contains '\\'"},
        {"publisher \"..\"", Block(Text("publisher") + Text(".."), 1), "names a directory"},
        {"publisher a device", Block(Text("publisher") + Text("con"), 1), "is a device name"},
        {"empty publisher", Block(Text("publisher") + Text(""), 1), "is empty"},
        {"unknown token", Block(Text("install-dir") + Text("{Windows}\\x"), 1), "unknown token '{Windows}'"},
        {"unbalanced brace", Block(Text("install-dir") + Text("{ProgramFiles\\x"), 1), "is not closed"},
        {"relative template", Block(Text("install-dir") + Text("{AppName}"), 1), "which is not absolute"},
        {"unknown scope", Block(Text("scope") + Text("machine"), 1), "is not \"per-user\""},
        {"unknown icon", Block(Text("icon") + Text("installer"), 1), "is not \"uninstaller\""},
        {"uninstall key with a separator", Block(Text("uninstall-key") + Text("..\\Run"), 1), "contains '\\'"},
        {"larger than 64 KiB", Block(Text("note") + Text(std::string(70000, 'n')), 1), "is larger than 65536 bytes"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(Load(WithBlock(c.block), &error)) << c.name;
        EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::ExtensionBlock) << c.name;
        EXPECT_TRUE(archive->GetExtensions().empty()) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(recorder.lines.back(), error) << c.name;
        EXPECT_EQ(error.rfind("!Error LoadInstaller: " + dir / "input.exe" +
                                  " Extension block error ErrorZorInstaller: Bad extension block.: the block at ",
                              0),
                  0u)
            << c.name;
    }
    // A key this reader does not know is kept, not refused.
    ASSERT_TRUE(Load(WithBlock(Block(Text("later-key") + Text("v"), 1))));
    EXPECT_EQ(archive->GetExtension("later-key"), "v");
    // An empty block is well-formed.
    ASSERT_TRUE(Load(WithBlock(Block("", 0))));
    EXPECT_TRUE(archive->GetExtensions().empty());
}

// A string that runs into the tailer leaves no room for a block: such an
// installer loads as before, with no block.
TEST_F(ExtensionTest, AStringRunningIntoTheTailerMeansNoBlock) {
    std::string bytes = Build({});
    const Layout layout = ReadLayout(bytes);
    SetField32(bytes, layout.tailer + 60, layout.stringLength[3] + 10);
    ASSERT_TRUE(Load(bytes));
    EXPECT_TRUE(archive->GetExtensions().empty());
    EXPECT_EQ(archive->GetShortcutName(), "Hello App");
}

// A shortened string leaves its last bytes before the tailer: they are no
// block, and the installer is refused rather than read with a default.
TEST_F(ExtensionTest, AShortenedStringLeavesBytesThatAreRefused) {
    std::string bytes = Build(kPairs);
    const Layout layout = ReadLayout(bytes);
    SetField32(bytes, layout.tailer + 60, layout.stringLength[3] - 2);
    EXPECT_FALSE(Load(bytes));
    EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::ExtensionBlock);
}

TEST_F(ExtensionTest, TheBuilderRefusesPairsNoReaderWouldAccept) {
    const struct {
        const char* name;
        std::vector<ExtensionPair> pairs;
    } cases[] = {
        {"duplicate", {{"publisher", "A"}, {"publisher", "B"}}}, {"bad publisher", {{"publisher", "a/b"}}},
        {"bad template", {{"install-dir", "{AppName"}}},         {"bad key", {{"Key", "v"}}},
        {"bad uninstaller", {{"uninstaller", "signed"}}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(ExtensionPairsProblem(c.pairs).empty()) << c.name;
        TempDir where;
        where.WriteFile("App.exe", "app");
        InstallerArchive builder;
        builder.SetExtractorImage(FakeStub());
        builder.SetFilePath(where / "Setup.exe");
        builder.SetAppName("Hello");
        builder.SetVersion("1");
        builder.SetShortcutName("Hello");
        builder.SetExtensions(c.pairs);
        ASSERT_TRUE(builder.AddFile(where / "App.exe"));
        EXPECT_FALSE(builder.MakeInstaller()) << c.name;
        EXPECT_EQ(builder.GetErrorCode(), ZorInstallerError::ExtensionBlock) << c.name;
        EXPECT_FALSE(FileExists(where / "Setup.exe")) << c.name;
    }
}

// The installation writes its uninstaller to uninstall.exe at the top of the
// directory: with an uninstall key no entry may be there, in any case.
TEST_F(ExtensionTest, AnUninstallerOverAnEntryRefusesTheInstaller) {
    const struct {
        const char* name;
        bool refused;
    } cases[] = {
        {"uninstall.exe", true},       {"UNINSTALL.EXE", true},      {"Uninstall.Exe", true},
        {"bin\\uninstall.exe", false}, {"uninstall.exe.txt", false}, {"uninstall.ex", false},
    };
    const std::string withKey = Build({{"uninstall-key", "Acme App"}});
    const std::string withoutKey = Build({{"publisher", "Acme"}});
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(Load(WithEntryName(withKey, 1, c.name), &error), !c.refused) << c.name;
        if (c.refused) {
            EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::ExtensionBlock) << c.name;
            EXPECT_TRUE(archive->GetExtensions().empty()) << c.name;
            EXPECT_EQ(error.rfind("!Error LoadInstaller: " + dir / "input.exe" +
                                      " Extension block error ErrorZorInstaller: Bad extension block.: the block at ",
                                  0),
                      0u)
                << error;
            const std::string reason = " names an uninstaller ('uninstall-key'), which the installation writes over "
                                       "the entry '" +
                                       std::string(c.name) + "'";
            EXPECT_EQ(error.substr(error.size() - reason.size()), reason);
        }
        EXPECT_TRUE(Load(WithEntryName(withoutKey, 1, c.name))) << c.name << ": no uninstaller";

        // The builder refuses the same before it writes anything.
        TempDir where;
        InstallerArchive builder;
        builder.SetExtractorImage(FakeStub());
        builder.SetFilePath(where / "Setup.exe");
        builder.SetExtensions({{"uninstall-key", "Acme App"}});
        ASSERT_TRUE(builder.AddFile(where.WriteFile("App.exe", "app"), "App.exe"));
        ASSERT_TRUE(builder.AddFile(where.WriteFile("file", "data"), c.name));
        error.clear();
        EXPECT_EQ(builder.MakeInstaller(&error), !c.refused) << c.name;
        EXPECT_EQ(FileExists(where / "Setup.exe"), !c.refused) << c.name;
        EXPECT_EQ(error.find("writes over the entry '" + std::string(c.name) + "'") != std::string::npos, c.refused)
            << error;
    }
}

// A carried uninstaller is the last entry, after the application's, and the
// record beside it is no entry's either; the builder and the loader refuse
// the same (one check serves both).
TEST_F(ExtensionTest, ACarriedUninstallerIsTheLastEntryAndNothingLiesWhereItsRecordGoes) {
    const std::vector<ExtensionPair> carried = {{"uninstall-key", "Acme App"}, {"uninstaller", "carried"}};
    const struct {
        std::vector<const char*> names;
        std::vector<ExtensionPair> pairs;
        const char* refusal; // empty: accepted
    } cases[] = {
        {{"App.exe", "Uninstall.exe"}, carried, ""},
        {{"App.exe", "uninstall.dat"}, {{"uninstall-key", "Acme App"}}, ""},
        {{"uninstall.exe", "App.exe"}, carried, "writes over the entry 'uninstall.exe'"},
        {{"uninstall.exe"}, carried, "its last entry is not 'uninstall.exe'"},
        {{"App.exe", "UNINSTALL.DAT", "uninstall.exe"}, carried, "writes over the entry 'UNINSTALL.DAT'"},
        {{"App.exe", "uninstall.exe", "uninstall.exe"}, carried, "writes over the entry 'uninstall.exe'"},
        {{"App.exe", "uninstall.exe"}, {{"uninstaller", "carried"}}, "but no uninstall key ('uninstall-key')"},
    };
    for (const auto& c : cases) {
        const TempDir where;
        InstallerArchive builder;
        builder.SetExtractorImage(FakeStub());
        builder.SetFilePath(where / "Setup.exe");
        builder.SetExtensions(c.pairs);
        for (const char* name : c.names)
            ASSERT_TRUE(builder.AddFile(where.WriteFile(std::string("source.") + name, name), name));
        std::string error;
        const bool made = builder.MakeInstaller(&error);
        const std::string refusal = c.refusal;
        EXPECT_EQ(made, refusal.empty()) << c.names.back() << ": " << error;
        EXPECT_TRUE(refusal.empty() || error.find(refusal) != std::string::npos) << error;
        if (made) {
            EXPECT_TRUE(Load(ReadWholeFile(where / "Setup.exe"))) << c.names.back();
        }
    }
}

} // namespace
