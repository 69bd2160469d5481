// zorpack run inside the test process: what reaches the console, and the
// failure paths that need the file layer's fault injection.
#include "common/file.h"
#include "common/file_system.h"
#include "common/last_error.h"
#include "tests/common/temp_dir.h"
#include "tools/zorpack/zorpack.h"

#include <gtest/gtest.h>

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

// Exactly one line, "zorpack: " and then text.
void ExpectOneErrorLine(const std::string& err, const std::string& start) {
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_EQ(err.rfind("zorpack: " + start, 0), 0u) << err;
}

class ZorpackRun : public ::testing::Test {
protected:
    void TearDown() override { ClearFileFaults(); }

    std::vector<std::string> BuildLine(const std::string& setup) {
        return {"build", "-o", setup, "--name", "Demo", "--version", "1.0", "--stub", stub_, app_, data_};
    }

    TempDir dir_;
    const std::string stub_ = dir_.WriteFile("stub.bin", "MZ stub image");
    const std::string app_ = dir_.WriteFile("App.exe", std::string(5000, 'a'));
    const std::string data_ = dir_.WriteFile("data.txt", "some data\n");
};

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

TEST_F(ZorpackRun, OutputNamingAnInputIsRefused) {
    const Outcome outcome = RunInProcess(BuildLine(data_));
    EXPECT_EQ(outcome.code, kExitUsage);
    EXPECT_EQ(outcome.err, "zorpack: the installer '" + data_ + "' is also an input file\n");
    EXPECT_EQ(ReadWholeFile(data_), "some data\n");
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

TEST_F(ZorpackRun, WriteFailureRemovesThePartialInstaller) {
    const std::string setup = dir_ / "Setup.exe";
    for (unsigned countdown : {1u, 2u, 3u}) {
        InjectFileFault(FileOperation::Write, countdown, kErrorDiskFull);
        const Outcome outcome = RunInProcess(BuildLine(setup));
        ClearFileFaults();
        EXPECT_EQ(outcome.code, kExitFailure) << countdown;
        ExpectOneErrorLine(outcome.err, "File write error on '");
        EXPECT_FALSE(FileExists(setup)) << countdown;
    }
    // Nothing is left behind that a later build would trip over.
    const Outcome outcome = RunInProcess(BuildLine(setup));
    EXPECT_EQ(outcome.code, kExitSuccess) << outcome.err;
}

TEST_F(ZorpackRun, ReadFailureWhileExtracting) {
    const std::string setup = dir_ / "Setup.exe";
    ASSERT_EQ(RunInProcess(BuildLine(setup)).code, kExitSuccess);
    InjectFileFault(FileOperation::Read, 1, kErrorInvalidData); // the first read: the tailer
    const Outcome outcome = RunInProcess({"extract", setup, dir_ / "out"});
    EXPECT_EQ(outcome.code, kExitFailure);
    ExpectOneErrorLine(outcome.err, "File read error on '" + setup + "': ");
}

} // namespace
