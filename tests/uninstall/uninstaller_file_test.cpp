// The uninstaller as a file: a carried uninstaller reads its record from the
// uninstall.dat beside it, which must hold that record and nothing else; an
// uninstaller with its record at its end never looks there.
#include "uninstall/uninstaller_file.h"

#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::uint32_t kReadFault = 30; // ERROR_READ_FAULT
const std::string kStub = std::string("MZ") + std::string(998, 's');

UninstallRecord Sample() {
    UninstallRecord record;
    record.appName = "Hello";
    record.uninstallKey = "Acme Hello";
    record.files = {"hello.exe", "readme.txt"};
    return record;
}

TEST(UninstallerFile, ACarriedUninstallerTakesOnlyASoundRecordBesideIt) {
    const TempDir dir;
    const std::string carried = dir.WriteFile("uninstall.exe", kStub + EncodeRecordBesideMarker());
    const std::string beside = dir / "uninstall.dat";
    const std::string record = EncodeUninstallRecord(Sample());
    std::string damaged = record;
    damaged[6] ^= 1;
    const struct {
        const char* what;
        std::string content; // of uninstall.dat; "-": none
        std::string problem; // after "has its record in '...', which "
    } cases[] = {
        {"sound", record, ""},
        {"missing", "-", "cannot be read"},
        {"after a byte", "x" + record, "is damaged: it holds more than its record"},
        {"after a stub", kStub + record, "is damaged: it holds more than its record"},
        {"damaged", damaged, "is damaged: its record does not match its digest"},
        {"a marker", EncodeRecordBesideMarker(), "has an uninstall record of version 2 (this uninstaller knows 1)"},
        {"empty", "", "is not an uninstaller (no uninstall record at its end)"},
    };
    for (const auto& c : cases) {
        std::remove(beside.c_str());
        if (c.content != "-") dir.WriteFile("uninstall.dat", c.content);
        UninstallRecord read;
        const std::string problem = ReadUninstallerRecord(carried, read);
        EXPECT_EQ(problem, c.problem.empty() ? "" : "has its record in '" + beside + "', which " + c.problem) << c.what;
        EXPECT_EQ(read, c.problem.empty() ? Sample() : UninstallRecord()) << c.what;
    }
    EXPECT_TRUE(IsUninstallerFile(carried));
    EXPECT_TRUE(IsCarriedUninstallerFile(carried));

    // An uninstaller with its own record reads that one, whatever lies beside it.
    UninstallRecord other = Sample();
    other.appName = "Other";
    const std::string made = dir.WriteFile("uninstall.exe", kStub + EncodeUninstallRecord(other));
    UninstallRecord read;
    EXPECT_EQ(ReadUninstallerRecord(made, read), "");
    EXPECT_EQ(read, other);
    EXPECT_TRUE(IsUninstallerFile(made));
    EXPECT_FALSE(IsCarriedUninstallerFile(made));

    // A marker that is not exactly one is a record of version 2, refused.
    std::string marker = EncodeRecordBesideMarker();
    marker.back() = '\1';
    dir.WriteFile("uninstall.exe", kStub + marker);
    EXPECT_EQ(ReadUninstallerRecord(carried, read), "has an uninstall record of version 2 (this uninstaller knows 1)");
}

// A read that fails is said as such, never taken for a file without a record.
TEST(UninstallerFile, AFailedReadIsNoRecord) {
    const TempDir dir;
    const std::string made = dir.WriteFile("uninstall.exe", kStub + EncodeUninstallRecord(Sample()));
    UninstallRecord read;
    InjectFileFault(FileOperation::Read, 1, kReadFault);
    EXPECT_EQ(ReadUninstallerRecord(made, read), "cannot be read");
    EXPECT_EQ(read, UninstallRecord());
    InjectFileFault(FileOperation::Read, 1, kReadFault);
    std::optional<FileFailure> failure;
    EXPECT_FALSE(IsUninstallerFile(made, &failure));
    ClearFileFaults();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->errorCode, kReadFault);
    EXPECT_EQ(failure->path, made);
    EXPECT_TRUE(IsUninstallerFile(made, &failure));
}

} // namespace
