#include "archive_test_support.h"

#include <gtest/gtest.h>

namespace {

class LoadTest : public ::testing::Test {
protected:
    // Loads bytes written to a file; returns the result and keeps the lines.
    bool Load(const std::string& bytes, std::string* error = nullptr) {
        archive = std::make_unique<InstallerArchive>();
        recorder.lines.clear();
        recorder.Attach(*archive);
        archive->SetFilePath(dir.WriteFile("input.exe", bytes));
        return archive->LoadInstaller(error);
    }
    std::string Built(const std::vector<SourceFile>& files = {{"App.exe", "app"}, {"data.txt", "data"}}) {
        return ReadWholeFile(BuildInstaller(dir, files));
    }

    TempDir dir;
    LineRecorder recorder;
    std::unique_ptr<InstallerArchive> archive;
};

TEST_F(LoadTest, ReadsWhatTheBuilderWrote) {
    ASSERT_TRUE(Load(Built()));
    EXPECT_EQ(archive->GetAppName(), "Hello");
    EXPECT_EQ(archive->GetVersion(), "1.2");
    EXPECT_EQ(archive->GetShortcutName(), "Hello App");
    EXPECT_EQ(archive->GetWindowList(), "App;App -");
    EXPECT_EQ(archive->GetOptions(), kDefaultOptions);
    EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::Success);
    const std::string path = dir / "input.exe";
    const std::vector<std::string> expected = {"Loading Installer file '" + path + "'...",
                                               "Reading TOC...",
                                               "Reading window list...",
                                               "Reading Application name...",
                                               "Reading Application version...",
                                               "Reading Shortcut name..."};
    EXPECT_EQ(recorder.lines, expected);
}

TEST_F(LoadTest, TheCursorIsSharedAndStartsOver) {
    ASSERT_TRUE(Load(Built({{"App.exe", "a"}, {"b.txt", "b"}, {"c.txt", "c"}})));
    EXPECT_EQ(archive->GetFirstFileName(), "App.exe");
    EXPECT_EQ(archive->GetNextFileName(), "b.txt");
    EXPECT_EQ(archive->GetNextFileName(), "c.txt");
    EXPECT_EQ(archive->GetNextFileName(), "");
    EXPECT_EQ(archive->GetNextFileName(), "");
    EXPECT_EQ(archive->GetFirstFileName(), "App.exe");
}

TEST_F(LoadTest, AnEmptyArchiveLoadsWithoutFiles) {
    ASSERT_TRUE(Load(Built({})));
    EXPECT_EQ(archive->GetFirstFileName(), "[Error]");
    EXPECT_EQ(archive->GetNextFileName(), "");
}

TEST_F(LoadTest, TakesTheOptionsOfTheTailer) {
    std::string bytes = Built();
    const Layout layout = ReadLayout(bytes);
    SetField32(bytes, layout.tailer + 20, 0x00150002);
    archive = std::make_unique<InstallerArchive>();
    archive->SetOptions(0);
    archive->SetFilePath(dir.WriteFile("input.exe", bytes));
    ASSERT_TRUE(archive->LoadInstaller());
    EXPECT_EQ(archive->GetOptions(), 0x00150002u);
}

TEST_F(LoadTest, AMissingFileFailsWithItsLineInTheErrorString) {
    archive = std::make_unique<InstallerArchive>();
    recorder.Attach(*archive);
    const std::string path = dir / "missing.exe";
    archive->SetFilePath(path);
    std::string error;
    EXPECT_FALSE(archive->LoadInstaller(&error));
    EXPECT_EQ(archive->GetErrorCode(), ZorInstallerError::CannotOpenFile);
    const std::string line =
        "!Error LoadInstaller: OpenFile(" + path + ") error The system cannot find the file specified. (2)";
    EXPECT_EQ(error, line);
    EXPECT_EQ(recorder.lines.back(), line);
}

struct BadTailerCase {
    const char* name;
    void (*damage)(std::string& bytes, const Layout& layout);
    ZorInstallerError code;
};

TEST_F(LoadTest, RejectsDamagedTailersAndTocs) {
    const BadTailerCase cases[] = {
        {"63 bytes", [](std::string& b, const Layout&) { b = b.substr(b.size() - 63); },
         ZorInstallerError::BadSignature},
        {"no signature", [](std::string& b, const Layout& l) { b[l.tailer] = 'X'; }, ZorInstallerError::BadSignature},
        {"signature without its NUL", [](std::string& b, const Layout& l) { b[l.tailer + 14] = '?'; },
         ZorInstallerError::BadSignature},
        {"\"!ZorInstaller\" then another character", [](std::string& b, const Layout& l) { b[l.tailer + 13] = '?'; },
         ZorInstallerError::BadSignature},
        {"version 0x101", [](std::string& b, const Layout& l) { SetField32(b, l.tailer + 16, 0x101); },
         ZorInstallerError::VersionNotSupported},
        {"version 0x104", [](std::string& b, const Layout& l) { SetField32(b, l.tailer + 16, 0x104); },
         ZorInstallerError::VersionNotSupported},
        {"TOC beyond the end", [](std::string& b, const Layout& l) { SetField32(b, l.tailer + 28, 0x7FFFFFFF); },
         ZorInstallerError::BadToc},
        {"second record not 'F'", [](std::string& b, const Layout& l) { b[l.records[1]] = 'G'; },
         ZorInstallerError::BadToc},
        {"name longer than 261", [](std::string& b, const Layout& l) { SetField32(b, l.records[0] + 20, 262); },
         ZorInstallerError::BadToc},
        {"entry count far beyond the file",
         [](std::string& b, const Layout& l) { SetField32(b, l.tailer + 24, 0xFFFFFFFF); }, ZorInstallerError::BadToc},
    };
    const std::string good = Built();
    for (const BadTailerCase& c : cases) {
        std::string bytes = good;
        c.damage(bytes, ReadLayout(good));
        EXPECT_FALSE(Load(bytes)) << c.name;
        EXPECT_EQ(archive->GetErrorCode(), c.code) << c.name;
        if (c.code != ZorInstallerError::BadToc) {
            EXPECT_EQ(recorder.lines.size(), 1u) << c.name; // the loading line alone
            EXPECT_EQ(archive->LastFailure().Explanation(), archive->GetErrorText()) << c.name;
        } else {
            EXPECT_EQ(recorder.lines.back(),
                      "!Error LoadInstaller: " + dir / "input.exe" + " TOC error ErrorZorInstaller: Bad TOC")
                << c.name;
        }
    }
    // The 16th signature byte is not examined.
    std::string lenient = good;
    lenient[ReadLayout(good).tailer + 15] = 'Z';
    EXPECT_TRUE(Load(lenient));
}

TEST_F(LoadTest, AStringOutsideTheFileFailsWithItsOwnLine) {
    const std::string good = Built();
    const Layout layout = ReadLayout(good);
    const char* lines[] = {"Window list", "Application name", "Application version", "Shortcut name"};
    for (int i = 0; i < 4; ++i) {
        std::string bytes = good;
        SetField32(bytes, layout.tailer + 32 + 8 * i, static_cast<std::uint32_t>(bytes.size() + 1));
        EXPECT_FALSE(Load(bytes));
        EXPECT_EQ(recorder.lines.back(),
                  "!Error LoadInstaller: " + dir / "input.exe" + " " + lines[i] + " error ErrorZorInstaller: Bad TOC");
    }
    // A length that runs past the end yields the bytes that are there.
    std::string bytes = good;
    SetField32(bytes, layout.tailer + 36, 0xFFFFFF00);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(archive->GetWindowList(), "App;App -");
}

TEST(ArchiveErrors, HaveTheirTexts) {
    EXPECT_EQ(ZorInstallerErrorText(0), "ErrorZorInstaller: Success");
    EXPECT_EQ(ZorInstallerErrorText(5), "ErrorZorInstaller: Bad TOC");
    EXPECT_EQ(ZorInstallerErrorText(10), "ErrorZorInstaller: Unable to extract file.");
    EXPECT_EQ(ZorInstallerErrorText(11), "ErrorZorInstaller: File changed while it was archived.");
    EXPECT_EQ(ZorInstallerErrorText(14), "ErrorZorInstaller: Unable to write the installer file.");
    EXPECT_EQ(ZorInstallerErrorText(15), "ErrorZorInstaller: Bad extension block.");
    EXPECT_EQ(ZorInstallerErrorText(16), "ErrorZorInstaller (16)");
    EXPECT_EQ(ZorInstallerErrorText(-1), "ErrorZorInstaller (-1)");
}

} // namespace
