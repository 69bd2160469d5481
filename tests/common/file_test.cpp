#include "common/file.h"

#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "common/last_error.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FileTest : public ::testing::Test {
protected:
    void TearDown() override { ClearFileFaults(); }
    TempDir dir;
};

TEST_F(FileTest, FailedOpensReturnFalseWithTheReasonInTheLastError) {
    CFile file;
    EXPECT_FALSE(file.OpenForReading(dir / "missing.bin"));
    EXPECT_EQ(GetLastErrorCode(), kErrorFileNotFound);
    EXPECT_FALSE(file.IsOpen());

    EXPECT_FALSE(file.Create(BuildPath(dir / "no-such-dir", "file.bin", nullptr)));
    EXPECT_EQ(GetLastErrorCode(), kErrorPathNotFound);

    // A directory is not a file.
    EXPECT_FALSE(file.OpenForReading(dir.path()));
    EXPECT_EQ(GetLastErrorCode(), kErrorAccessDenied);

    EXPECT_FALSE(file.OpenForReading(""));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileTest, WritesReadsAndSeeks) {
    const std::string path = dir / "data.bin";
    CFile file;
    ASSERT_TRUE(file.Open(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive));
    EXPECT_EQ(file.GetFilePath(), path);
    file.Write("0123456789", 10);
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.GetPosition(), 10u);

    char buffer[16] = {};
    EXPECT_EQ(file.Seek(3, SeekOrigin::Begin), 3u);
    EXPECT_EQ(file.Read(buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "3456");
    EXPECT_EQ(file.Seek(-2, SeekOrigin::End), 8u);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 2u); // short read at the end is no failure
    EXPECT_EQ(std::string(buffer, 2), "89");
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.Seek(-5, SeekOrigin::Current), 5u);
    EXPECT_EQ(file.SeekToEnd(), 10u);

    // Seeking beyond the end is allowed; writing there extends the file.
    EXPECT_EQ(file.Seek(20, SeekOrigin::Begin), 20u);
    file.Write("!", 1);
    EXPECT_EQ(file.GetLength(), 21u);
}

TEST_F(FileTest, SeekingBeforeTheStartRaises) {
    CFile file;
    ASSERT_TRUE(file.Create(dir / "seek.bin"));
    try {
        file.Seek(-1, SeekOrigin::Begin);
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.operation(), FileOperation::Seek);
        EXPECT_EQ(e.errorCode(), kErrorNegativeSeek);
    }
}

TEST_F(FileTest, CreationModesKeepOrReplaceContent) {
    const std::string path = dir.WriteFile("keep.txt", "old content");
    CFile file;

    ASSERT_TRUE(file.Open(path, FileAccess::Write, FileCreation::OpenAlways, FileShare::DenyWrite));
    EXPECT_EQ(file.GetLength(), 11u);
    file.Write("OLD", 3);
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "OLD content");

    ASSERT_TRUE(file.Open(path, FileAccess::Write, FileCreation::OpenExisting, FileShare::DenyNone));
    EXPECT_EQ(file.GetLength(), 11u);
    file.Close();

    ASSERT_TRUE(file.Create(path));
    EXPECT_EQ(file.GetLength(), 0u);
    file.Close();
    EXPECT_EQ(ReadWholeFile(path), "");

    EXPECT_FALSE(file.Open(dir / "absent.txt", FileAccess::Write, FileCreation::OpenExisting, FileShare::DenyNone));
    EXPECT_EQ(GetLastErrorCode(), kErrorFileNotFound);
    ASSERT_TRUE(file.Open(dir / "absent.txt", FileAccess::Write, FileCreation::OpenAlways, FileShare::DenyNone));
}

TEST_F(FileTest, AnExclusiveCreateCannotEmptyAFileThatIsOpen) {
    const std::string path = dir.WriteFile("busy.txt", "precious");
    CFile reader, writer;
    ASSERT_TRUE(reader.OpenForReading(path, FileShare::DenyWrite));
    EXPECT_FALSE(writer.Create(path));
    EXPECT_EQ(GetLastErrorCode(), kErrorSharingViolation);
    reader.Close();
    EXPECT_EQ(ReadWholeFile(path), "precious");
    EXPECT_TRUE(writer.Create(path));
}

TEST_F(FileTest, InjectedFaultsRaiseFileExceptionWithTheirCode) {
    CFile file;
    ASSERT_TRUE(file.Create(dir / "full.bin"));
    InjectFileFault(FileOperation::Write, 2, kErrorDiskFull);
    file.Write("a", 1);
    try {
        file.Write("b", 1);
        FAIL() << "no exception";
    } catch (const FileException& e) {
        EXPECT_EQ(e.operation(), FileOperation::Write);
        EXPECT_EQ(e.errorCode(), kErrorDiskFull);
        EXPECT_EQ(e.path(), dir / "full.bin");
        EXPECT_NE(std::string(e.what()).find("There is not enough space on the disk. (112)"), std::string::npos)
            << e.what();
    }
    file.Write("c", 1); // the fault fired once
    EXPECT_EQ(file.GetLength(), 2u);

    file.Close();
    ASSERT_TRUE(file.OpenForReading(dir / "full.bin"));
    InjectFileFault(FileOperation::Read, 1, 23);
    char byte;
    EXPECT_THROW(file.Read(&byte, 1), FileException);
}

// The Try operations report what the raising ones raise, and keep it; a
// buffered reader stops at the failure and says it.
TEST_F(FileTest, TryOperationsKeepTheFailureAndAReaderStopsAtIt) {
    CFile file;
    ASSERT_TRUE(file.Create(dir / "full.bin"));
    InjectFileFault(FileOperation::Write, 1, kErrorDiskFull);
    EXPECT_FALSE(file.TryWrite("ab", 2));
    EXPECT_EQ(GetLastErrorCode(), kErrorDiskFull);
    const FileFailure failure = file.Failure();
    EXPECT_EQ(failure.operation, FileOperation::Write);
    EXPECT_EQ(failure.path, dir / "full.bin");
    EXPECT_EQ(failure.Text(), FileException(FileOperation::Write, dir / "full.bin", kErrorDiskFull).what());
    ASSERT_TRUE(file.TryWrite(std::string(5000, 'x').data(), 5000));
    file.Close();

    ASSERT_TRUE(file.OpenForReading(dir / "full.bin"));
    BufferedReader reader(file, 1024);
    char bytes[2048];
    EXPECT_EQ(reader.Read(bytes, 100), 100u);
    EXPECT_EQ(reader.Failure(), nullptr);
    InjectFileFault(FileOperation::Read, 1, 23);
    EXPECT_LT(reader.Read(bytes, 2048), 2048u);
    ClearFileFaults();
    ASSERT_NE(reader.Failure(), nullptr);
    EXPECT_EQ(reader.Failure()->errorCode, 23u);
    reader.Seek(0);
    EXPECT_EQ(reader.Read(bytes, 10), 0u) << "nothing is read after a failure";
}

TEST_F(FileTest, OperationsOnAClosedFileRaise) {
    CFile file;
    char byte = 0;
    EXPECT_THROW(file.Read(&byte, 1), FileException);
    EXPECT_THROW(file.Write(&byte, 1), FileException);
    EXPECT_THROW(file.GetLength(), FileException);
    FileTimes times;
    EXPECT_FALSE(file.GetFileTimes(times));
}

TEST_F(FileTest, FileTimesRoundTrip) {
    const std::string path = dir.WriteFile("times.txt", "x");
    // 2009-02-13 23:31:30.1234567 UTC and 2001-09-09 01:46:40 UTC.
    const FileTime access = FileTime::FromTicks(128790462901234567ull);
    const FileTime write = FileTime::FromTicks(126455968000000000ull);

    CFile file;
    ASSERT_TRUE(file.Open(path, FileAccess::Write, FileCreation::OpenExisting, FileShare::Exclusive));
    ASSERT_TRUE(file.SetFileTimes(&write, &access, &write));
    file.Close();

    ASSERT_TRUE(file.OpenForReading(path));
    FileTimes times;
    ASSERT_TRUE(file.GetFileTimes(times));
    EXPECT_EQ(times.lastAccess.Ticks(), access.Ticks());
    EXPECT_EQ(times.lastWrite.Ticks(), write.Ticks());
    file.Close();

    // A null time leaves that time alone.
    const FileTime later = FileTime::FromTicks(write.Ticks() + 10'000'000);
    ASSERT_TRUE(file.Open(path, FileAccess::Write, FileCreation::OpenExisting, FileShare::Exclusive));
    ASSERT_TRUE(file.SetFileTimes(nullptr, nullptr, &later));
    ASSERT_TRUE(file.GetFileTimes(times));
    EXPECT_EQ(times.lastAccess.Ticks(), access.Ticks());
    EXPECT_EQ(times.lastWrite.Ticks(), later.Ticks());
}

TEST_F(FileTest, MovedFilesStayOpenOnce) {
    CFile first;
    ASSERT_TRUE(first.Create(dir / "moved.bin"));
    CFile second = std::move(first);
    EXPECT_FALSE(first.IsOpen());
    ASSERT_TRUE(second.IsOpen());
    second.Write("abc", 3);
    second.Close();
    EXPECT_EQ(ReadWholeFile(dir / "moved.bin"), "abc");
}

TEST(FileTime, SplitsTicksIntoTheTwoWords) {
    const FileTime time = FileTime::FromTicks(0x0123456789ABCDEFull);
    EXPECT_EQ(time.lowDateTime, 0x89ABCDEFu);
    EXPECT_EQ(time.highDateTime, 0x01234567u);
    EXPECT_EQ(time.Ticks(), 0x0123456789ABCDEFull);
}

TEST(FileTime, LocalCalendarConversionsRoundTrip) {
    CalendarTime local{2024, 2, 0, 29, 13, 45, 30, 250};
    FileTime time;
    ASSERT_TRUE(LocalCalendarToFileTime(local, time));
    CalendarTime back;
    ASSERT_TRUE(FileTimeToLocalCalendar(time, back));
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
    EXPECT_EQ(back.dayOfWeek, 4); // a Thursday
    EXPECT_EQ(back.hour, 13);
    EXPECT_EQ(back.minute, 45);
    EXPECT_EQ(back.second, 30);
    EXPECT_EQ(back.milliseconds, 250);

    CalendarTime invalid{2024, 13, 0, 1, 0, 0, 0, 0};
    EXPECT_FALSE(LocalCalendarToFileTime(invalid, time));
}

} // namespace
