// Temporary files: new, private, unpredictable, and gone on every path.
#include "common/temporary_file.h"

#include "common/file_system.h"
#include "common/path.h"
#include "tests/common/temp_dir.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::size_t CountFiles(const std::string& directory) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        (void)entry;
        ++count;
    }
    return count;
}

TEST(TemporaryFile, NamesAreNewEachTimeAndFilesGoWithTheirOwner) {
    TempDir dir;
    std::set<std::string> names;
    {
        TemporaryFile files[20];
        for (TemporaryFile& file : files) {
            ASSERT_TRUE(file.Create(dir.path(), "Setup.exe.", ".tmp"));
            const std::string name = GetPathPart(file.Path(), kPathFileName);
            EXPECT_EQ(GetPathPart(file.Path(), kPathDirectory), dir.path());
            ASSERT_EQ(name.size(), 10 + 12 + 4) << name;
            EXPECT_EQ(name.substr(0, 10), "Setup.exe.");
            EXPECT_EQ(name.substr(22), ".tmp");
            EXPECT_EQ(name.substr(10, 12).find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"), std::string::npos);
            names.insert(name);
            file.File().Write("data", 4);
        }
        EXPECT_EQ(CountFiles(dir.path()), 20u);
    }
    EXPECT_EQ(names.size(), 20u) << "twelve random characters each";
    EXPECT_EQ(CountFiles(dir.path()), 0u) << "every one removed with its owner";

    // Without a directory: the system's temporary directory.
    TemporaryFile inTemp;
    ASSERT_TRUE(inTemp.Create({}, "~Zq"));
    EXPECT_EQ(GetPathPart(inTemp.Path(), kPathDirectory) + PathSeparator(), GetTempDirectory());
    const std::string path = inTemp.Path();
    inTemp.Remove();
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(inTemp.Path(), "");
}

TEST(TemporaryFile, ExceptionsRemoveItToo) {
    TempDir dir;
    try {
        TemporaryFile file;
        ASSERT_TRUE(file.Create(dir.path(), "x."));
        throw std::runtime_error("a failure half way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(CountFiles(dir.path()), 0u);
}

TEST(TemporaryFile, CommitReplacesTheTargetInOneStep) {
    TempDir dir;
    const std::string target = dir.WriteFile("Setup.exe", "the earlier installer");
    {
        TemporaryFile file;
        ASSERT_TRUE(file.Create(dir.path(), "Setup.exe."));
        file.File().Write("the new installer", 17);
        EXPECT_EQ(ReadWholeFile(target), "the earlier installer") << "untouched until the commit";
        ASSERT_TRUE(file.CommitAs(target));
        EXPECT_EQ(file.Path(), "");
    }
    EXPECT_EQ(ReadWholeFile(target), "the new installer") << "kept after its owner went";
    EXPECT_EQ(CountFiles(dir.path()), 1u);

    // A target that cannot be replaced leaves the file temporary.
    TemporaryFile file;
    ASSERT_TRUE(file.Create(dir.path(), "y."));
    std::filesystem::create_directories(BuildPath(dir / "occupied", "inside", nullptr));
    EXPECT_FALSE(file.CommitAs(dir / "occupied"));
    EXPECT_TRUE(FileExists(file.Path()));
}

TEST(TemporaryFile, CreateNewNeverWritesThroughWhatIsThere) {
    TempDir dir;
    const std::string existing = dir.WriteFile("taken", "keep me");
    CFile file;
    EXPECT_FALSE(file.Open(existing, FileAccess::Write, FileCreation::CreateNew, FileShare::Exclusive));
    EXPECT_EQ(ReadWholeFile(existing), "keep me");
#ifndef _WIN32
    // A link planted at the name, even one pointing nowhere yet.
    const std::string victim = dir / "victim";
    ASSERT_EQ(::symlink(victim.c_str(), (dir / "planted").c_str()), 0);
    EXPECT_FALSE(file.Open(dir / "planted", FileAccess::Write, FileCreation::CreateNew, FileShare::Exclusive));
    EXPECT_FALSE(FileExists(victim));
#endif
}

#ifndef _WIN32
TEST(TemporaryFile, IsPrivateUntilCommitted) {
    TempDir dir;
    TemporaryFile file;
    ASSERT_TRUE(file.Create(dir.path(), "p."));
    struct stat status;
    ASSERT_EQ(::stat(file.Path().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(file.CommitAs(dir / "public"));
    ::umask(mask);
    ASSERT_EQ(::stat((dir / "public").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u) << "the permissions of an ordinary new file";
}
#endif

TEST(TemporaryFile, AnInterruptRemovesIt) {
    TempDir dir;
    const std::string ready = dir / "ready.txt";
    ChildProcess worker;
    ASSERT_TRUE(worker.Start(ProgramBesideTests("interrupt_worker"), {dir.path(), ready}));
    for (int i = 0; i < 600 && !FileExists(ready); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(FileExists(ready)) << "the worker never made its file";
    const std::string temporary = ReadWholeFile(ready);
    ASSERT_TRUE(FileExists(temporary)) << temporary;
    if (!worker.Interrupt()) {
        ASSERT_EQ(kNativePathStyle, PathStyle::Windows);
        // Measured: Wine 8 sends no console event among programs started
        // without a terminal (GenerateConsoleCtrlEvent fails, also after
        // AllocConsole).
        GTEST_SKIP() << "no console event can be sent here";
    }
    EXPECT_NE(worker.Wait(), 0) << "the interrupt ends the process";
    EXPECT_FALSE(FileExists(temporary));
}

} // namespace
