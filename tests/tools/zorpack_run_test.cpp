// zorpack run inside the test process: what reaches the console, and the
// failure paths that need the file layer's fault injection.
#include "archive/extension_block.h"
#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/last_error.h"
#include "tests/common/scoped_environment.h"
#include "tests/common/temp_dir.h"
#include "tests/support/bytes.h"
#include "tests/support/fake_stub.h"
#include "tools/zorpack/zorpack.h"

#ifdef _WIN32
#include "common/windows_api.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>

using namespace zorpack;

namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome RunInProcess(const std::vector<std::string>& arguments, bool interactive = false) {
    std::ostringstream out, err;
    Console console{out, err, interactive};
    const int code = Run(arguments, console);
    return {code, out.str(), err.str()};
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 generator(5);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator());
    return bytes;
}

// Exactly one line, "zorpack: " and then text.
void ExpectOneErrorLine(const std::string& err, const std::string& start) {
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_EQ(err.rfind("zorpack: " + start, 0), 0u) << err;
}

class ZorpackRun : public ::testing::Test {
protected:
    void TearDown() override { ClearFileFaults(); }

    // One thread: the injected faults count the file operations in their order.
    std::vector<std::string> BuildLine(const std::string& setup) {
        return {"build",  "-o",  setup, "--name", "Demo",      "--version", "1.0",
                "--stub", stub_, app_,  data_,    "--threads", "1"};
    }

    TempDir dir_;
    const std::string stub_ = dir_.WriteFile("stub.bin", FakeStubImage(512));
    const std::string app_ = dir_.WriteFile("App.exe", std::string(5000, 'a'));
    const std::string data_ = dir_.WriteFile("data.txt", "some data\n");
};

TEST(LineStreamBuf, WritesWholeLinesOneWriteEach) {
    std::vector<std::string> writes;
    {
        LineStreamBuf buffer([&](const char* data, std::size_t size) { writes.emplace_back(data, size); });
        std::ostream out(&buffer);
        out << "one" << ' ' << "line" << '\n';
        out << "two\nthree\nfour";
        EXPECT_EQ(writes, (std::vector<std::string>{"one line\n", "two\nthree\n"}));
        out << "\r[1/2] live" << std::flush; // a live progress line goes out when flushed
        EXPECT_EQ(writes.back(), "four\r[1/2] live");
        out << "end";
    }
    EXPECT_EQ(writes, (std::vector<std::string>{"one line\n", "two\nthree\n", "four\r[1/2] live", "end"}))
        << "what is pending goes out with the buffer";
}

#ifdef _WIN32
// NUL is a character device, as a console is, but no terminal: a live
// progress line there would be written for nobody.
TEST(Console, NulIsNoTerminal) {
    const HANDLE saved = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE nul =
        ::CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(nul, INVALID_HANDLE_VALUE);
    ::SetStdHandle(STD_OUTPUT_HANDLE, nul);
    const bool terminal = IsTerminal(StandardStream::Output);
    ::SetStdHandle(STD_OUTPUT_HANDLE, saved);
    ::CloseHandle(nul);
    EXPECT_FALSE(terminal);
}
#endif

TEST_F(ZorpackRun, VersionIsTheToolsOwn) {
    const Outcome outcome = RunInProcess({"--version"});
    EXPECT_EQ(outcome.code, kExitSuccess);
    EXPECT_EQ(outcome.out, "zorpack 0.5\n");
    // After a command, --version is the application's version.
    EXPECT_EQ(RunInProcess({"build", "--version"}).code, kExitUsage);
}

TEST_F(ZorpackRun, TextsForTheInstallerMustBeUtf8) {
    std::vector<std::string> line = BuildLine(dir_ / "Setup.exe");
    line[4] = "Caf\xE9";
    const Outcome outcome = RunInProcess(line);
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_EQ(outcome.err, "zorpack: the application name is not valid UTF-8\n");
    line[4] = "Caf\xC3\xA9";
    EXPECT_EQ(RunInProcess(line).code, kExitSuccess);
}

TEST_F(ZorpackRun, HelpGoesToOut) {
    const Outcome outcome = RunInProcess({"--help"});
    EXPECT_EQ(outcome.code, kExitSuccess);
    EXPECT_EQ(outcome.out.rfind("Usage:\n", 0), 0u);
    EXPECT_NE(outcome.out.find("zorpack build -o SETUP"), std::string::npos);
    EXPECT_EQ(outcome.err, "");
}

TEST_F(ZorpackRun, BadLineIsOneLineAndExitCodeTwo) {
    const Outcome outcome = RunInProcess({"build", "--frobnicate"});
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_EQ(outcome.err, "zorpack: unknown option '--frobnicate'\n");
    EXPECT_EQ(outcome.out, "");
}

TEST_F(ZorpackRun, SummaryLine) {
    const std::string setup = dir_ / "Setup.exe";
    const Outcome outcome = RunInProcess(BuildLine(setup));
    ASSERT_EQ(outcome.code, kExitSuccess) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    // The only line without -v and without a terminal is the summary.
    EXPECT_EQ(outcome.out.rfind(setup + ": 2 files, 5010 bytes -> ", 0), 0u) << outcome.out;
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1) << outcome.out;
    EXPECT_EQ(outcome.out.find('\r'), std::string::npos);
}

TEST_F(ZorpackRun, VerboseShowsEveryProgressLine) {
    std::vector<std::string> line = BuildLine(dir_ / "Setup.exe");
    line.push_back("-v");
    const Outcome outcome = RunInProcess(line);
    ASSERT_EQ(outcome.code, kExitSuccess) << outcome.err;
    EXPECT_NE(outcome.out.find("Adding file '" + app_ + "' to Installer...\n"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("Archiving file '" + data_ + "'...\n"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("Writing Tailer...\n"), std::string::npos) << outcome.out;
}

TEST_F(ZorpackRun, TerminalGetsALineThatRewritesItself) {
    const Outcome outcome = RunInProcess(BuildLine(dir_ / "Setup.exe"), true);
    ASSERT_EQ(outcome.code, kExitSuccess) << outcome.err;
    EXPECT_NE(outcome.out.find("\r[1/2] Archiving file '"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("\r[2/2] Archiving file '"), std::string::npos) << outcome.out;
    // The live line is blanked before the summary, which then stands alone.
    const std::size_t summary = outcome.out.rfind('\r');
    ASSERT_NE(summary, std::string::npos);
    EXPECT_EQ(outcome.out.substr(summary + 1).rfind(dir_ / "Setup.exe: 2 files", 0), 0u) << outcome.out;
    EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 1);
}

TEST_F(ZorpackRun, WithoutAnImageBuildingNeedsAStub) {
    // This test program carries no extractor resource and registered none.
    const std::string setup = dir_ / "Setup.exe";
    const Outcome outcome = RunInProcess({"build", "-o", setup, "--name", "Demo", "--version", "1", app_});
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_EQ(outcome.err, "zorpack: this zorpack carries no extractor image; name one with --stub FILE\n");
    EXPECT_FALSE(FileExists(setup));
}

TEST_F(ZorpackRun, MissingStub) {
    std::vector<std::string> line = BuildLine(dir_ / "Setup.exe");
    line[8] = dir_ / "no-stub.bin";
    const Outcome outcome = RunInProcess(line);
    EXPECT_EQ(outcome.code, kExitFailure);
    ExpectOneErrorLine(outcome.err, "cannot read the extractor image '" + (dir_ / "no-stub.bin") + "': ");
    EXPECT_FALSE(FileExists(dir_ / "Setup.exe"));
}

TEST_F(ZorpackRun, OutputNamingAnInputOrTheStubIsRefused) {
    // By identity: the same file under another spelling of its path too.
    const std::string sameData = BuildPath(BuildPath(dir_.path(), ".", nullptr), "data.txt", nullptr);
    for (const std::string& output : {data_, sameData}) {
        const Outcome outcome = RunInProcess(BuildLine(output));
        EXPECT_EQ(outcome.code, kExitUsage);
        EXPECT_EQ(outcome.err,
                  "zorpack: the installer '" + output + "' is the input file '" + data_ + "'; name another output\n");
        EXPECT_EQ(ReadWholeFile(data_), "some data\n");
    }
    const Outcome outcome = RunInProcess(BuildLine(stub_));
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_EQ(outcome.err,
              "zorpack: the installer '" + stub_ + "' is the extractor image '" + stub_ + "'; name another output\n");
    EXPECT_EQ(ReadWholeFile(stub_), FakeStubImage(512));

    const Outcome directory = RunInProcess(BuildLine(dir_.path()));
    EXPECT_EQ(directory.code, kExitUsage);
    EXPECT_EQ(directory.err, "zorpack: the installer '" + dir_.path() + "' names a directory\n");
}

TEST_F(ZorpackRun, StubMustBeABareWindowsExecutable) {
    const std::string setup = dir_ / "Setup.exe";
    const struct {
        std::string image;
        const char* problem;
    } cases[] = {
        {"MZ stub image", "is not a Windows executable (no MZ and PE headers)"},
        {"", "is not a Windows executable (no MZ and PE headers)"},
        {"ZM" + FakeStubImage(512).substr(2), "is not a Windows executable (no MZ and PE headers)"},
        {FakeStubImage(512).replace(0x3C, 1, 1, '\xF0'), "is not a Windows executable (no MZ and PE headers)"},
    };
    for (const auto& c : cases) {
        const std::string stub = dir_.WriteFile("bad-stub.bin", c.image);
        std::vector<std::string> line = BuildLine(setup);
        line[8] = stub;
        const Outcome outcome = RunInProcess(line);
        EXPECT_EQ(outcome.code, kExitFailure);
        EXPECT_EQ(outcome.err, "zorpack: the extractor image '" + stub + "' " + c.problem + "\n");
        EXPECT_FALSE(FileExists(setup));
    }
    // An installer is no stub: it already carries an archive.
    ASSERT_EQ(RunInProcess(BuildLine(setup)).code, kExitSuccess);
    std::vector<std::string> line = BuildLine(dir_ / "Second.exe");
    line[8] = setup;
    const Outcome outcome = RunInProcess(line);
    EXPECT_EQ(outcome.code, kExitFailure);
    EXPECT_EQ(outcome.err, "zorpack: the extractor image '" + setup +
                               "' already carries an installation archive; name the bare installer stub "
                               "(zorsetup.exe)\n");
    EXPECT_FALSE(FileExists(dir_ / "Second.exe"));
}

TEST_F(ZorpackRun, AnInputWhereTheUninstallerGoesIsRefused) {
    std::filesystem::create_directories(dir_ / "other");
    const std::string clash = dir_.WriteFile(BuildPath("other", "Uninstall.exe", nullptr), "MZ another program");
    const std::string setup = dir_ / "Setup.exe";
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--uninstaller"}, std::vector<std::string>{"--uninstall-key", "Acme"}}) {
        std::vector<std::string> line = BuildLine(setup);
        line.insert(line.end(), options.begin(), options.end());
        line.push_back(clash);
        const Outcome outcome = RunInProcess(line);
        EXPECT_EQ(outcome.code, kExitFailure) << options[0];
        ExpectOneErrorLine(outcome.err, "the input file '" + clash + "' would install as 'Uninstall.exe', where ");
        EXPECT_FALSE(FileExists(setup)) << options[0];
    }
    // Without an uninstaller the file is just one more.
    std::vector<std::string> line = BuildLine(setup);
    line.push_back(clash);
    EXPECT_EQ(RunInProcess(line).code, kExitSuccess);
}

TEST_F(ZorpackRun, EmptyListFilesLeaveNothingToBuild) {
    const std::string list = dir_.WriteFile("empty.lst", "\n\n");
    const std::string setup = dir_ / "Setup.exe";
    const Outcome outcome =
        RunInProcess({"build", "-o", setup, "--name", "Demo", "--version", "1", "--stub", stub_, "@" + list});
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_EQ(outcome.err, "zorpack: no input files: the list files are empty\n");
    EXPECT_FALSE(FileExists(setup));
}

TEST_F(ZorpackRun, ReadFailureEndsAsOneLine) {
    const std::string setup = dir_ / "Setup.exe";
    InjectFileFault(FileOperation::Read, 1, kErrorInvalidData); // the read of the stub image
    const Outcome outcome = RunInProcess(BuildLine(setup));
    EXPECT_EQ(outcome.code, kExitFailure);
    ExpectOneErrorLine(outcome.err, "File read error on '" + stub_ + "': ");
    EXPECT_FALSE(FileExists(setup));
}

TEST_F(ZorpackRun, AFailedBuildLeavesNothingAndKeepsTheEarlierInstaller) {
    const std::string setup = dir_ / "Setup.exe";
    // Data that does not compress: the installer goes out in several writes.
    std::vector<std::string> line = BuildLine(setup);
    line.push_back(dir_.WriteFile("noise.bin", RandomBytes(3 << 20)));
    for (unsigned countdown : {1u, 2u, 3u}) {
        InjectFileFault(FileOperation::Write, countdown, kErrorDiskFull);
        const Outcome outcome = RunInProcess(line);
        ClearFileFaults();
        EXPECT_EQ(outcome.code, kExitFailure) << countdown;
        ExpectOneErrorLine(outcome.err, "File write error on '");
        EXPECT_EQ(outcome.err.find("Success"), std::string::npos) << outcome.err;
        EXPECT_FALSE(FileExists(setup)) << countdown;
    }
    // Nothing is left behind that a later build would trip over.
    EXPECT_EQ(NamesIn(dir_.path()), (std::vector<std::string>{"App.exe", "data.txt", "noise.bin", "stub.bin"}));
    ASSERT_EQ(RunInProcess(line).code, kExitSuccess);
    const std::string good = ReadWholeFile(setup);

    // A rebuild that fails (a full disk, a source that cannot be read) leaves
    // the good installer as it was.
    InjectFileFault(FileOperation::Write, 2, kErrorDiskFull);
    EXPECT_EQ(RunInProcess(line).code, kExitFailure);
    ClearFileFaults();
    EXPECT_EQ(ReadWholeFile(setup), good);
    InjectFileFault(FileOperation::Read, 4, kErrorInvalidData); // stub, App.exe, its end, then data.txt
    const Outcome outcome = RunInProcess(line);
    ClearFileFaults();
    EXPECT_EQ(outcome.code, kExitFailure);
    ExpectOneErrorLine(outcome.err, "File read error on '" + data_ + "': ");
    EXPECT_EQ(ReadWholeFile(setup), good);
    EXPECT_EQ(NamesIn(dir_.path()),
              (std::vector<std::string>{"App.exe", "Setup.exe", "data.txt", "noise.bin", "stub.bin"}));
}

TEST_F(ZorpackRun, ReadFailureWhileExtracting) {
    const std::string setup = dir_ / "Setup.exe";
    ASSERT_EQ(RunInProcess(BuildLine(setup)).code, kExitSuccess);
    InjectFileFault(FileOperation::Read, 1, kErrorInvalidData); // the first read: the tailer
    const Outcome outcome = RunInProcess({"extract", setup, dir_ / "out"});
    EXPECT_EQ(outcome.code, kExitFailure);
    ExpectOneErrorLine(outcome.err, "File read error on '" + setup + "': ");
}

// A solid stream is read on a thread of its own: a read that fails there
// ends the extraction with the one line a failed read gives anywhere.
TEST_F(ZorpackRun, ReadFailureUnderASolidStream) {
    const std::string setup = dir_ / "Setup.exe";
    std::vector<std::string> line = BuildLine(setup);
    line.insert(line.end(), {dir_.WriteFile("noise.bin", RandomBytes(1 << 20)), "--compression", "lzma", "--solid"});
    ASSERT_EQ(RunInProcess(line).code, kExitSuccess);
    bool failedWhileExtracting = false;
    for (unsigned countdown = 1;; ++countdown) {
        std::filesystem::remove_all(dir_ / "out");
        InjectFileFault(FileOperation::Read, countdown, kErrorInvalidData);
        const Outcome outcome = RunInProcess({"extract", setup, dir_ / "out"});
        ClearFileFaults();
        if (outcome.code == kExitSuccess) break;
        ExpectOneErrorLine(outcome.err, "File read error on '" + setup + "': ");
        failedWhileExtracting |= FileExists(dir_ / ("out" + std::string(1, PathSeparator()) + "App.exe"));
    }
    EXPECT_TRUE(failedWhileExtracting);
}

} // namespace

namespace {

// bytes with each TOC record's last-access time cleared: reading a source
// for one build may move the time the next build finds.
std::string WithoutAccessTimes(std::string bytes) {
    const std::size_t tailer = bytes.size() - 64;
    std::size_t record = Field32(bytes, tailer + 28);
    for (std::uint32_t i = Field32(bytes, tailer + 24); i > 0; --i) {
        bytes.replace(record + 32, 8, 8, '\0');
        record += 60 + Field32(bytes, record + 20);
    }
    return bytes;
}

// Without --publisher and --install-dir the installer is what it always was,
// ending in its strings and tailer; with them the only difference is the
// block before the tailer, which list shows.
TEST_F(ZorpackRun, PublisherAndInstallDirGoIntoTheExtensionBlockOnly) {
    const std::string plain = dir_ / "Plain.exe";
    const std::string withBlock = dir_ / "Block.exe";
    ASSERT_EQ(RunInProcess(BuildLine(plain)).code, kExitSuccess);
    std::vector<std::string> line = BuildLine(withBlock);
    line.insert(line.end(), {"--publisher", "Acme Tools", "--install-dir=C:\\Apps\\{Publisher}\\{AppName}"});
    const Outcome built = RunInProcess(line);
    ASSERT_EQ(built.code, kExitSuccess) << built.err;

    const std::string plainBytes = ReadWholeFile(plain);
    const std::string blockBytes = ReadWholeFile(withBlock);
    const std::string block =
        EncodeExtensionBlock({{"publisher", "Acme Tools"}, {"install-dir", "C:\\Apps\\{Publisher}\\{AppName}"}});
    ASSERT_EQ(blockBytes.size(), plainBytes.size() + block.size());
    std::string cut = blockBytes;
    cut.erase(plainBytes.size() - 64, block.size());
    EXPECT_EQ(WithoutAccessTimes(cut), WithoutAccessTimes(plainBytes));

    const Outcome listed = RunInProcess({"list", withBlock});
    ASSERT_EQ(listed.code, kExitSuccess) << listed.err;
    EXPECT_NE(listed.out.find("Extension block:\n    publisher = Acme Tools\n"
                              "    install-dir = C:\\Apps\\{Publisher}\\{AppName}\n"),
              std::string::npos)
        << listed.out;
    const Outcome plainList = RunInProcess({"list", plain});
    EXPECT_EQ(plainList.out.find("Extension block"), std::string::npos) << plainList.out;
}

// --per-user with --stub: the named image goes in front and the only other
// difference from a machine-wide build is the scope pair.
TEST_F(ZorpackRun, PerUserWithAStubUsesThatStubAndWritesTheScopePair) {
    const std::string machine = dir_ / "Machine.exe";
    const std::string perUser = dir_ / "PerUser.exe";
    ASSERT_EQ(RunInProcess(BuildLine(machine)).code, kExitSuccess);
    std::vector<std::string> line = BuildLine(perUser);
    line.push_back("--per-user");
    const Outcome built = RunInProcess(line);
    ASSERT_EQ(built.code, kExitSuccess) << built.err;

    const std::string machineBytes = ReadWholeFile(machine);
    const std::string perUserBytes = ReadWholeFile(perUser);
    EXPECT_EQ(perUserBytes.substr(0, 512), ReadWholeFile(stub_));
    const std::string block = EncodeExtensionBlock({{"scope", "per-user"}});
    ASSERT_EQ(perUserBytes.size(), machineBytes.size() + block.size());
    EXPECT_EQ(perUserBytes.substr(machineBytes.size() - 64, block.size()), block);
    // The listing differs in the block and in the all-users option, which a
    // per-user installer never offers nor applies, whatever the word says.
    const std::string machineList = RunInProcess({"list", machine}).out;
    std::string expected = machineList;
    const std::string allUsers = "    all-users     ask-checked\n";
    ASSERT_NE(expected.find(allUsers), std::string::npos) << machineList;
    expected.replace(expected.find(allUsers), allUsers.size(), "    all-users     off (per-user installer)\n");
    expected.insert(expected.find("Files:"), "Extension block:\n    scope = per-user\n");
    EXPECT_EQ(RunInProcess({"list", perUser}).out, expected);
}

TEST_F(ZorpackRun, ADamagedExtensionBlockIsOneErrorLine) {
    const std::string setup = dir_ / "Setup.exe";
    std::vector<std::string> line = BuildLine(setup);
    line.insert(line.end(), {"--publisher", "Acme"});
    ASSERT_EQ(RunInProcess(line).code, kExitSuccess);
    std::string bytes = ReadWholeFile(setup);
    bytes[bytes.size() - 64 - 1] = '/'; // the publisher's last letter
    const std::string damaged = dir_.WriteFile("Damaged.exe", bytes);
    for (const char* command : {"list", "verify"}) {
        const Outcome outcome = RunInProcess({command, damaged});
        EXPECT_EQ(outcome.code, kExitFailure) << command;
        ExpectOneErrorLine(outcome.err, "cannot load '" + damaged + "': !Error LoadInstaller: ");
        EXPECT_NE(outcome.err.find("contains '/'"), std::string::npos) << outcome.err;
    }
}

// --compression deflate is the default, byte for byte; deflate-best writes a
// smaller installer that extracts to the same files.
TEST_F(ZorpackRun, CompressionChoosesTheEncoder) {
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) text += "line " + std::to_string(i % 977) + " of the manual\n";
    const std::string manual = dir_.WriteFile("manual.txt", text);
    std::map<std::string, std::string> installers;
    for (const char* method : {"", "deflate", "deflate-best"}) {
        const std::string setup = dir_ / (std::string("Setup-") + method + ".exe");
        std::vector<std::string> line = BuildLine(setup);
        line.push_back(manual);
        if (*method) line.insert(line.begin() + 1, {"--compression", method});
        ASSERT_EQ(RunInProcess(line).code, kExitSuccess) << method;
        installers[method] = WithoutAccessTimes(ReadWholeFile(setup));
    }
    EXPECT_EQ(installers["deflate"], installers[""]);
    EXPECT_LT(installers["deflate-best"].size() * 10, installers[""].size() * 9);
    const std::string setup = dir_ / "Setup-deflate-best.exe";
    ASSERT_EQ(RunInProcess({"extract", setup, dir_ / "out"}).code, kExitSuccess);
    EXPECT_EQ(ReadWholeFile(BuildPath(dir_ / "out", "manual.txt", nullptr)), text);
    EXPECT_EQ(ReadWholeFile(BuildPath(dir_ / "out", "data.txt", nullptr)), "some data\n");
}

} // namespace

namespace {

// Writes dir/app (App.exe, doc/readme.txt) with times that differ by shift
// and are all later than 2001-09-09 (epoch 1000000000).
std::string WriteTimedTree(const TempDir& dir, std::uint64_t shift) {
    std::filesystem::create_directories(dir / "app/doc");
    dir.WriteFile("app/App.exe", std::string(3000, 'x'));
    dir.WriteFile("app/doc/readme.txt", "read me\n");
    for (const char* name : {"app/App.exe", "app/doc/readme.txt"}) {
        CFile file;
        EXPECT_TRUE(file.Open(dir / name, FileAccess::Write, FileCreation::OpenExisting, FileShare::DenyNone));
        const FileTime write = FileTime::FromTicks(133000000000000000ull + shift * 10'000'000);
        const FileTime access = FileTime::FromTicks(write.Ticks() + 7 * shift * 10'000'000);
        EXPECT_TRUE(file.SetFileTimes(&access, &access, &write));
    }
    return dir / "app";
}

TEST(ZorpackReproducible, SourceDateEpochGivesTheSameBytesFromAnyCopy) {
    const ScopedEnvironment epoch("SOURCE_DATE_EPOCH", "1000000000");
    const TempDir one, two;
    const std::string stub = one.WriteFile("stub.bin", FakeStubImage(512));
    const std::vector<std::vector<std::string>> methods = {{"--store"},
                                                           {},
                                                           {"--compression", "deflate-best"},
                                                           {"--compression", "lzma"},
                                                           {"--compression", "lzma", "--solid"}};
    for (const std::vector<std::string>& method : methods) {
        std::string built[2];
        for (int copy = 0; copy < 2; ++copy) {
            const TempDir& dir = copy == 0 ? one : two;
            std::vector<std::string> line = {"build",
                                             "-o",
                                             dir / "Setup.exe",
                                             "--name",
                                             "App",
                                             "--version",
                                             "1.0",
                                             "--stub",
                                             stub,
                                             "--uninstaller",
                                             "--threads",
                                             copy == 0 ? "1" : "2",
                                             WriteTimedTree(dir, copy == 0 ? 100 : 5000)};
            line.insert(line.end(), method.begin(), method.end());
            ASSERT_EQ(RunInProcess(line).code, kExitSuccess) << method.size();
            built[copy] = ReadWholeFile(dir / "Setup.exe");
        }
        EXPECT_EQ(built[0], built[1]) << "method " << (method.empty() ? "deflate" : method.back());
    }
}

TEST(ZorpackReproducible, WithoutTheVariableTimesStopAtTheLatestWrite) {
    const ScopedEnvironment unset("SOURCE_DATE_EPOCH", nullptr);
    const TempDir dir;
    const std::string tree = WriteTimedTree(dir, 100);
    const std::string setup = dir / "Setup.exe";
    ASSERT_EQ(RunInProcess({"build", "-o", setup, "--name", "App", "--version", "1.0", "--stub",
                            dir.WriteFile("stub.bin", FakeStubImage(512)), "--reproducible", tree})
                  .code,
              kExitSuccess);
    InstallerArchive archive;
    archive.SetFilePath(setup);
    ASSERT_TRUE(archive.LoadInstaller());
    const std::uint64_t latest = 133000000000000000ull + 100 * 10'000'000;
    for (const ArchiveEntry& entry : archive.GetEntries()) {
        EXPECT_EQ(entry.lastAccessTime, entry.lastWriteTime) << entry.name;
        EXPECT_EQ(entry.lastWriteTime.Ticks(), latest) << entry.name;
        EXPECT_LE(entry.creationTime.Ticks(), latest) << entry.name;
    }

    const ScopedEnvironment bad("SOURCE_DATE_EPOCH", "12x");
    const Outcome outcome = RunInProcess({"build", "-o", setup, "--name", "App", "--version", "1.0", tree});
    EXPECT_EQ(outcome.code, kExitUsage);
    ExpectOneErrorLine(outcome.err, "SOURCE_DATE_EPOCH is '12x', which is not a number of seconds");
}

} // namespace
