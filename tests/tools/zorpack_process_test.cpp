// The built zorpack program, run as a user runs it: installers built from
// real files, then listed, verified and extracted, and the exit codes of
// refused command lines.
#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/text_utils.h"
#include "tests/common/temp_dir.h"
#include "tests/support/fake_stub.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Bytes that do not compress, so that stored and compressed data differ.
std::string RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string Text(std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) text += "line " + std::to_string(i) + " of the read-me text\n";
    return text;
}

std::uint64_t LastWriteTicks(const std::string& path) {
    CFile file;
    FileTimes times;
    if (!file.OpenForReading(path) || !file.GetFileTimes(times)) return 0;
    return times.lastWrite.Ticks();
}

class ZorpackProcess : public ::testing::Test {
protected:
    CapturedRun Zorpack(const std::vector<std::string>& arguments) {
        return RunCaptured(ProgramBesideTests("zorpack"), arguments, scratch_.path());
    }

    // A build of the three sources with the fake stub, plus extra arguments.
    CapturedRun Build(const std::string& setup, std::vector<std::string> extra = {}) {
        std::vector<std::string> line = {"build",
                                         "-o",
                                         setup,
                                         "--name",
                                         "Demo App",
                                         "--version",
                                         "1.2.3",
                                         "--stub",
                                         stub_,
                                         "--windows",
                                         "Demo App;Untitled - Demo"};
        line.insert(line.end(), extra.begin(), extra.end());
        line.insert(line.end(), {app_, readme_, empty_});
        return Zorpack(line);
    }

    void ExpectExtractedSources(const std::string& directory) {
        EXPECT_EQ(NamesIn(directory), (std::vector<std::string>{"App.exe", "empty.dat", "readme.txt"}));
        for (const std::string& source : {app_, readme_, empty_}) {
            const std::string extracted = BuildPath(directory, GetPathPart(source, kPathFileName), nullptr);
            EXPECT_EQ(ReadWholeFile(extracted), ReadWholeFile(source)) << extracted;
            EXPECT_EQ(LastWriteTicks(extracted), LastWriteTicks(source)) << extracted;
        }
    }

    std::unique_ptr<InstallerArchive> Load(const std::string& setup) {
        auto archive = std::make_unique<InstallerArchive>();
        archive->SetFilePath(setup);
        EXPECT_TRUE(archive->LoadInstaller()) << archive->GetErrorText();
        return archive;
    }

    TempDir dir_;
    TempDir scratch_;
    const std::string stub_ = dir_.WriteFile("stub.bin", FakeStubImage(4096));
    const std::string app_ = dir_.WriteFile("App.exe", "MZ" + RandomBytes(150000, 2));
    const std::string readme_ = dir_.WriteFile("readme.txt", Text(20000));
    const std::string empty_ = dir_.WriteFile("empty.dat", "");
};

TEST_F(ZorpackProcess, TwoBuildsFromTheSameInputsAtOnce) {
    // Inputs are opened for shared reading: neither build locks the other out.
    const std::string big = dir_.WriteFile("big.bin", RandomBytes(4 << 20, 9));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::unique_ptr<ChildProcess>> builds;
        for (const char* setup : {"One.exe", "Two.exe"}) {
            builds.push_back(std::make_unique<ChildProcess>());
            ASSERT_TRUE(builds.back()->Start(
                ProgramBesideTests("zorpack"),
                {"build", "-o", dir_ / setup, "--name", "N", "--version", "1", "--stub", stub_, app_, big, readme_}));
        }
        for (auto& build : builds) EXPECT_EQ(build->Wait(), 0);
        // (Byte for byte they may differ: each records the access time the
        // other's reading left.)
        for (const char* setup : {"One.exe", "Two.exe"}) EXPECT_EQ(Zorpack({"verify", dir_ / setup}).exitCode, 0);
    }
}

TEST_F(ZorpackProcess, TwoExtractionsIntoTheSameNewDirectoryAtOnce) {
    ASSERT_EQ(Build(dir_ / "Setup.exe").exitCode, 0);
    const std::string other = dir_.WriteFile("other.txt", Text(3000));
    ASSERT_EQ(
        Zorpack({"build", "-o", dir_ / "Other.exe", "--name", "O", "--version", "1", "--stub", stub_, other}).exitCode,
        0);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        const std::string target =
            BuildPath(BuildPath(dir_ / ("new" + std::to_string(round)), "deeper", nullptr), "deepest", nullptr);
        ChildProcess one, two;
        ASSERT_TRUE(one.Start(ProgramBesideTests("zorpack"), {"extract", dir_ / "Setup.exe", target}));
        ASSERT_TRUE(two.Start(ProgramBesideTests("zorpack"), {"extract", dir_ / "Other.exe", target}));
        EXPECT_EQ(one.Wait(), 0);
        EXPECT_EQ(two.Wait(), 0);
        EXPECT_EQ(NamesIn(target), (std::vector<std::string>{"App.exe", "empty.dat", "other.txt", "readme.txt"}));
    }
}

TEST_F(ZorpackProcess, BuildListVerifyExtract) {
    const std::string setup = dir_ / "Setup.exe";
    const CapturedRun built = Build(setup);
    ASSERT_EQ(built.exitCode, 0) << built.err;
    EXPECT_EQ(built.err, "");
    EXPECT_EQ(built.out.rfind(setup + ": 3 files, ", 0), 0u) << built.out;

    // The installer starts with the stub, unchanged.
    const std::string installer = ReadWholeFile(setup);
    EXPECT_EQ(installer.substr(0, 4096), ReadWholeFile(stub_));
    // Text compresses: the whole installer is smaller than its sources.
    EXPECT_LT(installer.size(), 4096 + 150002 + Text(20000).size());

    const CapturedRun listed = Zorpack({"list", setup});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const std::string expectedList = "Application name: Demo App (1.2.3)\n"
                                     "Shortcut name: Demo App\n"
                                     "Window search list:\n"
                                     "    Demo App\n"
                                     "    Untitled - Demo\n"
                                     "Options: 0x01FF0002 (files compressed)\n"
                                     "    all-users     ask-checked\n"
                                     "    start-after   ask-checked\n"
                                     "    desktop       ask-checked\n"
                                     "    quick-launch  ask-checked\n"
                                     "    startup       ask\n"
                                     "Files: 3\n";
    EXPECT_EQ(listed.out.substr(0, expectedList.size()), expectedList) << listed.out;
    const std::unique_ptr<InstallerArchive> loaded = Load(setup);
    const InstallerArchive& archive = *loaded;
    ASSERT_EQ(archive.GetEntries().size(), 3u);
    const std::string rows = listed.out.substr(listed.out.find("name\n") + 5);
    std::string expectedRows;
    for (const ArchiveEntry& entry : archive.GetEntries())
        expectedRows += "    " + PadString(std::to_string(entry.originalSize), 12, true) + " " +
                        PadString(std::to_string(entry.storedSize), 12, true) + "  " + entry.name + "\n";
    EXPECT_EQ(rows.substr(0, expectedRows.size()), expectedRows) << listed.out;
    EXPECT_EQ(archive.GetEntries()[0].name, "App.exe");
    EXPECT_EQ(archive.GetEntries()[0].originalSize, 150002u);

    const CapturedRun verified = Zorpack({"verify", setup});
    EXPECT_EQ(verified.exitCode, 0) << verified.err;
    EXPECT_EQ(verified.out.rfind(setup + ": 3 files, ", 0), 0u) << verified.out;

    const std::string target = BuildPath(dir_ / "out", "deeper", nullptr);
    const CapturedRun extracted = Zorpack({"extract", setup, target});
    ASSERT_EQ(extracted.exitCode, 0) << extracted.err;
    EXPECT_NE(extracted.out.find(" to " + target), std::string::npos) << extracted.out;
    ExpectExtractedSources(target);
}

TEST_F(ZorpackProcess, StoredFilesAreCopiedAsTheyAre) {
    const std::string setup = dir_ / "Setup.exe";
    const CapturedRun built = Build(setup, {"--store"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const std::string installer = ReadWholeFile(setup);
    const std::string app = ReadWholeFile(app_), readme = ReadWholeFile(readme_);
    EXPECT_EQ(installer.substr(4096, app.size()), app);
    EXPECT_EQ(installer.substr(4096 + app.size(), readme.size()), readme);
    EXPECT_EQ(Load(setup)->GetOptions(), 0x01FF0000u);

    const CapturedRun listed = Zorpack({"list", setup});
    EXPECT_NE(listed.out.find("Options: 0x01FF0000 (files stored)\n"), std::string::npos) << listed.out;
    EXPECT_EQ(Zorpack({"verify", setup}).exitCode, 0);
    ASSERT_EQ(Zorpack({"extract", setup, dir_ / "out"}).exitCode, 0);
    ExpectExtractedSources(dir_ / "out");
}

TEST_F(ZorpackProcess, OptionWordAndShortcutReachTheInstaller) {
    const std::string setup = dir_ / "Setup.exe";
    const CapturedRun built = Build(
        setup, {"--options", "0x40000002", "--option", "desktop=ask", "--option", "startup=on", "--shortcut", "Demo"});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const std::unique_ptr<InstallerArchive> loaded = Load(setup);
    const InstallerArchive& archive = *loaded;
    EXPECT_EQ(archive.GetOptions(), 0x42100002u);
    EXPECT_EQ(archive.GetShortcutName(), "Demo");
    EXPECT_EQ(archive.GetAppName(), "Demo App");
    EXPECT_EQ(archive.GetVersion(), "1.2.3");
    EXPECT_EQ(archive.GetWindowList(), "Demo App;Untitled - Demo");
    const CapturedRun listed = Zorpack({"list", setup});
    EXPECT_NE(listed.out.find("    desktop       ask\n    quick-launch  off\n    startup       on\n"),
              std::string::npos)
        << listed.out;
}

TEST_F(ZorpackProcess, ListFileNamesTheFiles) {
    const std::string list = dir_.WriteFile("files.lst", readme_ + "\r\n\r\n" + app_ + "\r\n");
    const std::string setup = dir_ / "Setup.exe";
    const CapturedRun built =
        Zorpack({"build", "-o", setup, "--name", "N", "--version", "1", "--stub", stub_, empty_, "@" + list});
    ASSERT_EQ(built.exitCode, 0) << built.err;
    const std::unique_ptr<InstallerArchive> loaded = Load(setup);
    InstallerArchive& archive = *loaded;
    EXPECT_EQ(archive.GetFirstFileName(), "empty.dat");
    EXPECT_EQ(archive.GetNextFileName(), "readme.txt");
    EXPECT_EQ(archive.GetNextFileName(), "App.exe");
    EXPECT_EQ(archive.GetNextFileName(), "");
}

TEST_F(ZorpackProcess, DuplicateNamesAreRefusedUnlessAllowed) {
    std::filesystem::create_directories(dir_ / "other");
    const std::string twin = dir_.WriteFile(BuildPath("other", "readme.txt", nullptr), "another read-me");
    const std::string setup = dir_ / "Setup.exe";
    const CapturedRun refused = Build(setup, {twin});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "zorpack: duplicate file name: '" + twin + "' and '" + readme_ +
                               "' would both install as 'readme.txt' (--allow-duplicates stores both)\n");
    EXPECT_FALSE(FileExists(setup));

    const CapturedRun allowed = Build(setup, {"--allow-duplicates", twin});
    ASSERT_EQ(allowed.exitCode, 0) << allowed.err;
    const std::unique_ptr<InstallerArchive> archive = Load(setup);
    ASSERT_EQ(archive->GetEntries().size(), 4u);
    EXPECT_EQ(archive->GetEntries()[0].name, "readme.txt");
    EXPECT_EQ(archive->GetEntries()[2].name, "readme.txt");
}

TEST_F(ZorpackProcess, NamesDifferingInCaseOnlyAreDuplicatesOnEveryPlatform) {
    // The installer creates them on Windows, where they are one file.
    std::filesystem::create_directories(dir_ / "upper");
    const std::string upper = dir_.WriteFile(BuildPath("upper", "README.TXT", nullptr), "upper");
    const CapturedRun run = Build(dir_ / "Setup.exe", {upper});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("duplicate file name: "), std::string::npos) << run.err;
}

TEST_F(ZorpackProcess, MissingInputFile) {
    const std::string setup = dir_ / "Setup.exe";
    const std::string missing = dir_ / "missing.dll";
    const CapturedRun run = Build(setup, {missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("zorpack: cannot read the input file '" + missing + "': ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
    EXPECT_FALSE(FileExists(setup));
}

// Said before any input is read: the missing input goes unmentioned.
TEST_F(ZorpackProcess, AnOutputInAFolderThatDoesNotExist) {
    const std::string folder = dir_ / "nodir";
    const std::string setup = BuildPath(folder, "x.exe", nullptr);
    const CapturedRun run = Build(setup, {dir_ / "missing.dll"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "zorpack: cannot write '" + setup + "': the folder '" + folder + "' does not exist\n");
    EXPECT_FALSE(DirectoryExists(folder));
}

TEST_F(ZorpackProcess, BadUsage) {
    const std::vector<std::vector<std::string>> lines = {
        {},
        {"unpack", "Setup.exe"},
        {"build", "--name", "N", "--version", "1", app_},
        {"build", "-o", dir_ / "S.exe", "--name", "N", "--version", "1", "--option", "desktop=maybe", app_},
        {"list"},
        {"list", "a", "b"},
        {"extract", "--store", "a", "b"},
    };
    for (const auto& line : lines) {
        const CapturedRun run = Zorpack(line);
        EXPECT_EQ(run.exitCode, 2) << ::testing::PrintToString(line);
        EXPECT_EQ(run.err.rfind("zorpack: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_FALSE(FileExists(dir_ / "S.exe"));
}

TEST_F(ZorpackProcess, Help) {
    const CapturedRun run = Zorpack({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("Usage:\n", 0), 0u) << run.out;
    EXPECT_EQ(run.err, "");
}

TEST_F(ZorpackProcess, NotAnInstaller) {
    for (const char* command : {"list", "verify"}) {
        const CapturedRun run = Zorpack({command, readme_});
        EXPECT_EQ(run.exitCode, 1) << command;
        EXPECT_EQ(run.err, "zorpack: cannot load '" + readme_ + "': ErrorZorInstaller: Bad signature\n") << command;
    }
    const CapturedRun extract = Zorpack({"extract", readme_, dir_ / "out"});
    EXPECT_EQ(extract.exitCode, 1);
    EXPECT_FALSE(DirectoryExists(dir_ / "out"));

    const std::string missing = dir_ / "missing.exe";
    const CapturedRun run = Zorpack({"list", missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("zorpack: cannot load '" + missing + "': !Error LoadInstaller: OpenFile(" + missing, 0), 0u)
        << run.err;
}

TEST_F(ZorpackProcess, DamagedDataIsFound) {
    const std::string setup = dir_ / "Setup.exe";
    ASSERT_EQ(Build(setup, {"--store"}).exitCode, 0);
    // One byte inside readme.txt's stored data.
    std::string installer = ReadWholeFile(setup);
    installer[4096 + 150002 + 100] ^= 0x20;
    std::ofstream(setup, std::ios::binary | std::ios::trunc) << installer;

    const CapturedRun verified = Zorpack({"verify", setup});
    EXPECT_EQ(verified.exitCode, 1);
    EXPECT_EQ(verified.err.rfind("zorpack: verification of '" + setup + "' failed: Bad MD5 sum for 'readme.txt'.", 0),
              0u)
        << verified.err;
    EXPECT_EQ(std::count(verified.err.begin(), verified.err.end(), '\n'), 1);

    const CapturedRun extracted = Zorpack({"extract", setup, dir_ / "out"});
    EXPECT_EQ(extracted.exitCode, 1);
    EXPECT_NE(extracted.err.find("Bad MD5 sum for '" + BuildPath(dir_ / "out", "readme.txt", nullptr) + "'."),
              std::string::npos)
        << extracted.err;
}

// Without --stub, each build takes the stub zorpack carries for its scope,
// or says that it carries none.
TEST_F(ZorpackProcess, BuiltInExtractors) {
    const struct {
        std::string image;
        std::vector<std::string> extra;
        const char* missing;
        const char* scope;
    } cases[] = {
        {ZOR_EXTRACTOR_IMAGE, {}, "zorpack: this zorpack carries no extractor image; name one with --stub FILE\n", ""},
        {ZOR_PER_USER_EXTRACTOR_IMAGE,
         {"--per-user"},
         "zorpack: this zorpack carries no per-user extractor image (zorsetup-user.exe); name one with --stub FILE\n",
         "per-user"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scope);
        const std::string setup = dir_ / "Setup.exe";
        std::vector<std::string> line = {"build", "-o", setup, "--name", "N", "--version", "1", app_};
        line.insert(line.end(), c.extra.begin(), c.extra.end());
        const CapturedRun run = Zorpack(line);
        if (c.image.empty()) {
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_EQ(run.err, c.missing);
            EXPECT_FALSE(FileExists(setup));
            continue;
        }
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::string stub = ReadWholeFile(c.image);
        ASSERT_NE(stub, "<missing>");
        EXPECT_EQ(ReadWholeFile(setup).substr(0, stub.size()), stub);
        EXPECT_EQ(Zorpack({"verify", setup}).exitCode, 0);
        EXPECT_EQ(Load(setup)->GetExtension("scope"), c.scope);
    }
    const std::string machine = ZOR_EXTRACTOR_IMAGE, perUser = ZOR_PER_USER_EXTRACTOR_IMAGE;
    if (!machine.empty() && !perUser.empty()) {
        EXPECT_NE(ReadWholeFile(machine), ReadWholeFile(perUser)) << "the two stubs differ in their manifests";
    }
}

TEST_F(ZorpackProcess, Version) {
    const CapturedRun run = Zorpack({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "zorpack 0.5\n");
}

#ifdef _WIN32
TEST_F(ZorpackProcess, WildcardsAreExpandedAsWindowsToolsDo) {
    std::filesystem::create_directories(dir_ / "many");
    for (const char* name : {"b.txt", "a.txt", "c.dat"}) dir_.WriteFile(BuildPath("many", name, nullptr), name);
    std::filesystem::create_directories(BuildPath(dir_ / "many", "sub.txt", nullptr)); // a directory: no match
    const std::string setup = dir_ / "Setup.exe";
    const std::string pattern = BuildPath(dir_ / "many", "*.txt", nullptr);
    const CapturedRun run =
        Zorpack({"build", "-o", setup, "--name", "N", "--version", "1", "--stub", stub_, app_, pattern});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::unique_ptr<InstallerArchive> archive = Load(setup);
    ASSERT_EQ(archive->GetEntries().size(), 3u);
    EXPECT_EQ(archive->GetEntries()[1].name, "a.txt");
    EXPECT_EQ(archive->GetEntries()[2].name, "b.txt");

    const std::string nothing = BuildPath(dir_ / "many", "*.none", nullptr);
    const CapturedRun none =
        Zorpack({"build", "-o", setup, "--name", "N", "--version", "1", "--stub", stub_, app_, nothing});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, "zorpack: no file matches '" + nothing + "'\n");
}
#endif

#ifndef _WIN32
TEST_F(ZorpackProcess, InputsThatAreNoPlainFilesAreRefusedWithoutWaiting) {
    const std::string fifo = dir_ / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string setup = dir_ / "Setup.exe";
    for (const std::string& input : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
        const CapturedRun run = Build(setup, {input});
        EXPECT_EQ(run.exitCode, 1) << input;
        EXPECT_EQ(run.err, "zorpack: '" + input +
                               "' is not a plain file (it is a device, a FIFO or a socket): an installer holds plain "
                               "files only\n");
        EXPECT_FALSE(FileExists(setup));
    }
}

TEST_F(ZorpackProcess, AnOutputThatIsAnInputThroughALinkIsRefused) {
    const std::string symbolic = dir_ / "symbolic.exe";
    const std::string hard = dir_ / "hard.exe";
    ASSERT_EQ(::symlink(readme_.c_str(), symbolic.c_str()), 0);
    ASSERT_EQ(::link(readme_.c_str(), hard.c_str()), 0);
    const std::string before = ReadWholeFile(readme_);
    for (const std::string& output : {symbolic, hard}) {
        const CapturedRun run = Build(output);
        EXPECT_EQ(run.exitCode, 2) << output;
        EXPECT_EQ(run.err,
                  "zorpack: the installer '" + output + "' is the input file '" + readme_ + "'; name another output\n");
        EXPECT_EQ(ReadWholeFile(readme_), before);
    }
}

TEST_F(ZorpackProcess, AnInterruptedBuildLeavesNothing) {
    const std::string big = dir_.WriteFile("big.bin", RandomBytes(64 << 20, 4));
    const std::string earlier = dir_.WriteFile("Setup.exe", "the earlier installer");
    ChildProcess build;
    ASSERT_TRUE(build.Start(ProgramBesideTests("zorpack"),
                            {"build", "-o", earlier, "--name", "N", "--version", "1", "--stub", stub_, app_, big}));
    // Interrupted once its temporary installer exists.
    bool started = false;
    for (int i = 0; i < 400 && !started; ++i) {
        for (const std::string& name : NamesIn(dir_.path())) started = started || name.rfind("Setup.exe.", 0) == 0;
        if (!started) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(started) << "no temporary installer seen";
    ASSERT_TRUE(build.Interrupt());
    EXPECT_NE(build.Wait(), 0);
    EXPECT_EQ(NamesIn(dir_.path()),
              (std::vector<std::string>{"App.exe", "Setup.exe", "big.bin", "empty.dat", "readme.txt", "stub.bin"}));
    EXPECT_EQ(ReadWholeFile(earlier), "the earlier installer");
}

TEST_F(ZorpackProcess, NamesThatAreNotUtf8AreRefused) {
    const std::string latin1 = dir_.WriteFile("caf\xE9.txt", "latin-1 name");
    const CapturedRun run = Build(dir_ / "Setup.exe", {latin1});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "zorpack: the input file '" + latin1 + "' cannot be installed: its name is not valid UTF-8\n");
}

TEST_F(ZorpackProcess, NameWindowsCannotCreate) {
    const std::string odd = dir_.WriteFile("a:b.txt", "colon");
    const CapturedRun run = Build(dir_ / "Setup.exe", {odd});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "zorpack: the input file '" + odd + "' cannot be installed: its name contains ':'\n");
}
#endif

} // namespace
