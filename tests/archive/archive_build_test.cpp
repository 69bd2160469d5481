#include "archive_test_support.h"

#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/last_error.h"

#include <gtest/gtest.h>

namespace {

TEST(ArchiveBuild, AnEmptyArchiveIsStubStringsAndTailer) {
    TempDir dir;
    const std::string bytes = ReadWholeFile(BuildInstaller(dir, {}, true, 1000, ""));
    ASSERT_EQ(bytes.size(), 1000u + 1 + 6 + 4 + 10 + 64);
    const std::vector<std::uint8_t> stub = FakeStub();
    EXPECT_EQ(bytes.substr(0, 1000), std::string(stub.begin(), stub.end()));
    const Layout layout = ReadLayout(bytes);
    EXPECT_EQ(layout.entryCount, 0u);
    EXPECT_EQ(layout.tocOffset, 1000u);
    EXPECT_EQ(layout.stringOffset[0], 1000u);
    EXPECT_EQ(layout.stringLength[0], 1u); // an empty window list is one NUL
    EXPECT_EQ(bytes.substr(1000, 1 + 6 + 4 + 10), std::string("\0Hello\0"
                                                              "1.2\0"
                                                              "Hello App\0",
                                                              21));
    EXPECT_EQ(bytes.substr(layout.tailer, 16), std::string("!ZorInstaller!\0\0", 16));
    EXPECT_EQ(Field32(bytes, layout.tailer + 16), 258u);
    EXPECT_EQ(Field32(bytes, layout.tailer + 20), kDefaultOptions);
}

// A source that grew or shrank since AddFile measured it would make a record
// that lies about it: the build fails with the code that says so, and only
// reads as far as one byte past the size it knows.
TEST(ArchiveBuild, ASourceThatChangedWhileArchivedFailsTheBuild) {
    for (bool compress : {true, false}) {
        for (const std::string& later : {std::string("shorter"), std::string(200000, 'x')}) {
            SCOPED_TRACE((compress ? "compressed, " : "stored, ") + std::to_string(later.size()));
            TempDir dir;
            InstallerArchive archive;
            LineRecorder recorder;
            recorder.Attach(archive);
            archive.SetExtractorImage(FakeStub());
            archive.SetOptions(compress ? kDefaultOptions : 0);
            archive.SetFilePath(dir / "Setup.exe");
            const std::string source = dir.WriteFile("changing.log", "the size it had when it was added");
            ASSERT_TRUE(archive.AddFile(source));
            dir.WriteFile("changing.log", later);
            EXPECT_FALSE(archive.MakeInstaller());
            EXPECT_EQ(archive.GetErrorCode(), ZorInstallerError::FileChanged);
            EXPECT_TRUE(recorder.Contains("!Error: File '" + source + "' changed while it was archived."));
            EXPECT_EQ(recorder.lines.back(),
                      "!Error: An error occured while archiving files. (ErrorZorInstaller: File changed while it was "
                      "archived.)");
            EXPECT_EQ(archive.LastFailure().cause, "!Error: File '" + source + "' changed while it was archived.");
            EXPECT_EQ(archive.LastFailure().entry, "changing.log");
            EXPECT_FALSE(FileExists(dir / "Setup.exe"));
        }
    }
}

TEST(ArchiveBuild, StoredBlocksAreTheFilesThemselves) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"App.exe", "MZ main program"}, {"readme.txt", "read me"}};
    const std::string bytes = ReadWholeFile(BuildInstaller(dir, files, false));
    const Layout layout = ReadLayout(bytes);
    ASSERT_EQ(layout.records.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t record = layout.records[i];
        EXPECT_EQ(bytes[record], 'F');
        EXPECT_EQ(Field32(bytes, record + 52), files[i].content.size());
        EXPECT_EQ(Field32(bytes, record + 56), files[i].content.size());
        EXPECT_EQ(bytes.substr(Field32(bytes, record + 48), files[i].content.size()), files[i].content);
        EXPECT_EQ(Field32(bytes, record + 20), files[i].name.size() + 1);
        EXPECT_EQ(bytes.substr(record + 60, files[i].name.size() + 1), files[i].name + '\0');
    }
    EXPECT_EQ(Field32(bytes, layout.records[0] + 48), 1000u); // the first block follows the stub
}

TEST(ArchiveBuild, OffsetsShiftWithTheStubLengthAndNothingElseChanges) {
    const std::vector<SourceFile> files = {{"App.exe", std::string(5000, 'a')}, {"b.dat", "bbbb"}};
    TempDir first, second;
    const std::string small = ReadWholeFile(BuildInstaller(first, files, true, 1000));
    const std::string large = ReadWholeFile(BuildInstaller(second, files, true, 1500));
    ASSERT_EQ(large.size(), small.size() + 500);
    const Layout a = ReadLayout(small), b = ReadLayout(large);
    EXPECT_EQ(b.tocOffset, a.tocOffset + 500);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(b.stringOffset[i], a.stringOffset[i] + 500);
    for (std::size_t i = 0; i < a.records.size(); ++i)
        EXPECT_EQ(Field32(large, b.records[i] + 48), Field32(small, a.records[i] + 48) + 500);
}

TEST(ArchiveBuild, StoresOnlyTheFileNameAndKeepsDuplicates) {
    TempDir dir;
    dir.WriteFile("one.txt", "1");
    CreateDirectoryTree(dir / "sub");
    dir.WriteFile("sub" + std::string(1, PathSeparator()) + "one.txt", "2");
    InstallerArchive archive;
    archive.SetExtractorImage(FakeStub());
    archive.SetFilePath(dir / "Setup.exe");
    ASSERT_TRUE(archive.AddFile(dir / "one.txt"));
    ASSERT_TRUE(archive.AddFile(BuildPath(dir / "sub", "one.txt", nullptr)));
    ASSERT_TRUE(archive.MakeInstaller());
    const std::string bytes = ReadWholeFile(dir / "Setup.exe");
    const Layout layout = ReadLayout(bytes);
    ASSERT_EQ(layout.records.size(), 2u);
    for (std::size_t record : layout.records) {
        EXPECT_EQ(Field32(bytes, record + 20), 8u);
        EXPECT_EQ(bytes.substr(record + 60, 8), std::string("one.txt\0", 8));
    }
}

TEST(ArchiveBuild, ReportsEveryStep) {
    TempDir dir;
    const std::string source = dir.WriteFile("App.exe", "program");
    InstallerArchive archive;
    LineRecorder recorder;
    recorder.Attach(archive);
    archive.SetExtractorImage(FakeStub());
    archive.SetFilePath(dir / "Setup.exe");
    archive.SetAppName("Hello");
    ASSERT_TRUE(archive.AddFile(source));
    ASSERT_TRUE(archive.MakeInstaller());
    const std::string setup = dir / "Setup.exe";
    const std::string size = std::to_string(ReadWholeFile(setup).size());
    const std::vector<std::string> expected = {
        "Adding file '" + source + "' to Installer...",
        "Loading auto extractor...",
        "Creating Installer file '" + setup + "'...",
        "Writing Files...",
        "Archiving file '" + source + "'...",
        "Computing MD5 sum for file '" + source + "'...",
        "Compressing file '" + source + "'...",
        "Adding file '" + source + "' into installer file...",
        "Writing TOC...",
        "Writing Window list ''...",
        "Writing Application name 'Hello'...",
        "Writing Application version ''...",
        "Writing Shortcut Name ''...",
        "Writing Tailer...",
        "Installer file size:" + size + " bytes",
    };
    EXPECT_EQ(recorder.lines, expected);
}

TEST(ArchiveBuild, FailuresAreReportedWithTheirLines) {
    TempDir dir;
    InstallerArchive archive;
    LineRecorder recorder;
    recorder.Attach(archive);
    EXPECT_FALSE(archive.AddFile(dir / "missing.exe"));
    EXPECT_EQ(archive.GetErrorCode(), ZorInstallerError::CannotGetFileInfo);
    EXPECT_EQ(recorder.lines.back(), "Adding file '" + dir / "missing.exe" + "' to Installer...");
    EXPECT_FALSE(archive.AddFile(dir.path())); // a directory is no file

    // No extractor: neither a resource nor an image.
    archive.SetFilePath(dir / "Setup.exe");
    std::string error;
    EXPECT_FALSE(archive.MakeInstaller(&error));
    EXPECT_EQ(error, "!Error MakeInstaller: Unable to load AutoExtract resource.");
    EXPECT_FALSE(FileExists(dir / "Setup.exe"));

    archive.SetExtractorImage(FakeStub());
    archive.SetFilePath(BuildPath(dir / "no-such-dir", "Setup.exe", nullptr));
    EXPECT_FALSE(archive.MakeInstaller(&error));
    EXPECT_EQ(error.rfind("!Error MakeInstaller: OpenFile(", 0), 0u) << error;

    // A source that vanished after AddFile: the line says why, the code is
    // no "Success", and nothing takes the installer's place.
    const std::string earlier = dir.WriteFile("Setup.exe", "an earlier installer");
    const std::string gone = dir.WriteFile("gone.txt", "soon gone");
    ASSERT_TRUE(archive.AddFile(gone));
    std::remove(gone.c_str());
    archive.SetFilePath(earlier);
    EXPECT_FALSE(archive.MakeInstaller());
    EXPECT_EQ(archive.GetErrorCode(), ZorInstallerError::CannotOpenFile);
    EXPECT_TRUE(recorder.Contains("Unable to open file '" + gone + "' (" + SystemErrorText(kErrorFileNotFound) + ")"));
    EXPECT_EQ(recorder.lines.back(),
              "!Error: An error occured while archiving files. (ErrorZorInstaller: Unable to open file.)");
    EXPECT_EQ(ReadWholeFile(earlier), "an earlier installer");
    EXPECT_EQ(ListFiles(dir.path()), std::vector<std::string>{"Setup.exe"}) << "no temporary file left";
}

} // namespace
