// Many threads logging into one file target, plain and rolled over by size,
// with one write per record and with a buffer (flushed meanwhile from one
// more thread, as std::terminate may): every record must be in the file set
// exactly once, whole, and in its thread's order.
#include "log/appenders/file_appender.h"
#include "log/appenders/log_file_names.h"
#include "log/appenders/rolling_file_appender.h"
#include "log/logger.h"
#include "tests/common/temp_dir.h"

#include "stress_size.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = kStressThreads;
constexpr int kRecordsPerThread = kStressRecordsPerThread;

// The parameter is the "BufferSize" of the run: none, or one that many
// records fill.
class FileAppenderConcurrency : public testing::TestWithParam<const char*> {};
class RollingFileAppenderConcurrency : public FileAppenderConcurrency {};

void LogFromThreads(FileAppender& appender, const std::string& bufferSize) {
    const bool buffered = bufferSize != "0";
    appender.setParam("BufferSize", bufferSize);
    std::string error;
    ASSERT_TRUE(appender.start(error)) << error;
    Logger logger("stress", 600, true);
    logger.addAppender(&appender);
    std::atomic<bool> done{false};
    std::thread flusher([&] {
        while (buffered && !done.load()) appender.flush();
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&logger, t] {
            for (int i = 0; i < kRecordsPerThread; ++i) logger.infoFormat("%d %d <%0*d>", t, i, t + 1, 0);
        });
    for (std::thread& thread : threads) thread.join();
    done.store(true);
    flusher.join();
    ASSERT_TRUE(appender.stop(error)) << error;
}

// Checks the lines of text: each a whole record, each thread's records
// once and in order; returns how many records were found.
int CheckRecords(const std::string& text, std::vector<int>& next) {
    std::istringstream lines(text);
    std::string line;
    int found = 0;
    while (std::getline(lines, line)) {
        int thread = -1, sequence = -1, consumed = 0;
        const bool parsed = std::sscanf(line.c_str(), "%d %d <%*[0]>%n", &thread, &sequence, &consumed) == 2;
        if (!parsed || thread < 0 || thread >= kThreads || consumed != static_cast<int>(line.size()) ||
            line.size() != std::to_string(thread).size() + std::to_string(sequence).size() + 4 + thread + 1) {
            ADD_FAILURE() << "torn or foreign line: '" << line << "'";
            return found;
        }
        EXPECT_EQ(sequence, next[static_cast<std::size_t>(thread)]) << "thread " << thread;
        next[static_cast<std::size_t>(thread)] = sequence + 1;
        ++found;
    }
    return found;
}

TEST_P(FileAppenderConcurrency, EveryRecordOnceWholeAndInOrder) {
    TempDir dir;
    FileAppender appender("file", 900);
    appender.setParam("File", dir / "all.log");
    LogFromThreads(appender, GetParam());
    std::vector<int> next(kThreads, 0);
    EXPECT_EQ(CheckRecords(ReadWholeFile(dir / "all.log"), next), kThreads * kRecordsPerThread);
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(next[static_cast<std::size_t>(t)], kRecordsPerThread);
}

TEST_P(RollingFileAppenderConcurrency, EveryRecordOnceAcrossTheFileSet) {
    TempDir dir;
    const std::string file = dir / "roll.log";
    const int backups = 400;
    RollingFileAppender appender("roll", 900);
    appender.setParam("File", file);
    // About 40 roll-overs in the full run, as many in the shorter ones.
    const std::size_t maxFileSize = kRecordsPerThread * kThreads / 40 * 16;
    appender.setParam("MaxFileSize", std::to_string(maxFileSize));
    appender.setParam("MaxBackupIndex", std::to_string(backups));
    LogFromThreads(appender, GetParam());

    std::vector<int> next(kThreads, 0);
    int total = 0, files = 0;
    for (int index = backups; index >= 1; --index) {
        const std::string backup = LogFileNameWithSuffix(file, "." + std::to_string(index));
        if (!std::filesystem::exists(backup)) continue;
        ++files;
        const std::string text = ReadWholeFile(backup);
        // Rolled over by the record that reached the limit, never earlier
        // (two threads rolling for the same excess would leave a short file).
        EXPECT_GE(text.size(), maxFileSize) << backup;
        EXPECT_LT(text.size(), maxFileSize + 32) << backup;
        total += CheckRecords(text, next);
    }
    total += CheckRecords(ReadWholeFile(file), next);
    EXPECT_EQ(total, kThreads * kRecordsPerThread);
    EXPECT_GT(files, 10);
    EXPECT_LT(files, backups); // nothing was pushed out
}

std::string BufferSizeName(const testing::TestParamInfo<const char*>& info) {
    return std::string("Bytes") + info.param;
}

INSTANTIATE_TEST_SUITE_P(BufferSize, FileAppenderConcurrency, testing::Values("0", "4096"), BufferSizeName);
INSTANTIATE_TEST_SUITE_P(BufferSize, RollingFileAppenderConcurrency, testing::Values("0", "4096"), BufferSizeName);

} // namespace
