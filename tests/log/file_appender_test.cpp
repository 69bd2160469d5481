// The file targets: parameters, opening, headers, roll-over by size and by
// date, and what happens to records when a roll-over cannot rename.
#include "common/environment.h"
#include "common/file.h"
#include "common/path.h"
#include "fixed_log_clock.h"
#include "log/appenders/daily_file_appender.h"
#include "log/appenders/daily_rolling_file_appender.h"
#include "log/appenders/log_file_names.h"
#include "log/appenders/rolling_file_appender.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// One line per record, and a header and footer line that name the appender.
class LineLayout : public Layout {
public:
    bool header(std::string& text, const std::string&, const std::string& appender) const override {
        text = "header " + appender + "\n";
        return true;
    }
    bool footer(std::string& text, const std::string&, const std::string& appender) const override {
        text = "footer " + appender + "\n";
        return true;
    }
    bool format(const LoggingEvent& event, std::string& text) const override {
        text = event.message + "\n";
        return true;
    }
};

LoggingEvent Record(const std::string& message, Priority priority = LogPriority::kInfo) {
    LoggingEvent event;
    event.message = message;
    event.priority = priority;
    return event;
}

std::string Start(Appender& appender) {
    std::string error;
    appender.start(error);
    return error;
}

void Stop(Appender& appender) {
    std::string error;
    appender.stop(error);
}

TEST(FileAppenderParams, ValuesReportsAndDefaults) {
    SetEnvironmentValue("ZOR_LOG_TEST_DIR", "/logs");
    const struct {
        Appender* appender;
        std::vector<std::pair<const char*, const char*>> reports; // name, value before any setParam
    } classes[] = {
        {new FileAppender("f", 900),
         {{"File", ""}, {"Append", "true"}, {"HeaderOnlyOnCreation", "false"}, {"FileCurrent", ""}}},
        {new DailyFileAppender("d", 900), {{"DatePattern", "'.'yyyy-MM-dd"}, {"FileNameCurrent", ""}}},
        {new DailyRollingFileAppender("r", 900), {{"DatePattern", "'.'yyyy-MM-dd"}}},
        {new RollingFileAppender("s", 900), {{"MaxFileSize", "10240000"}, {"MaxBackupIndex", "7"}}},
    };
    for (const auto& c : classes) {
        std::unique_ptr<Appender> owned(c.appender);
        for (const auto& [name, value] : c.reports) EXPECT_EQ(owned->getParam(name), value) << name;
        EXPECT_EQ(owned->getParam("Threshold"), "");
        EXPECT_EQ(owned->getParam("NoSuchName"), "");
        EXPECT_TRUE(owned->setParam("threshold", "error")); // the base's names come first
        EXPECT_EQ(owned->getThreshold(), 300);
        EXPECT_TRUE(owned->setParam("FILE", "%ZOR_LOG_TEST_DIR%/${ZOR_LOG_TEST_DIR}/a.log"));
        EXPECT_EQ(owned->getParam("file"), "/logs//logs/a.log");
        EXPECT_TRUE(owned->setParam("Append", "yes"));
        EXPECT_EQ(owned->getParam("Append"), "false");
        EXPECT_TRUE(owned->setParam("HeaderOnlyOnCreation", "TRUE"));
        EXPECT_EQ(owned->getParam("HeaderOnlyOnCreation"), "true");
        EXPECT_FALSE(owned->setParam("Size", "1"));
    }
    SetEnvironmentValue("ZOR_LOG_TEST_DIR", nullptr);

    RollingFileAppender rolling("s", 900);
    const std::pair<const char*, const char*> numbers[] = {
        {" 1000kb", "1000"}, {"+12", "12"}, {"KB", "0"}, {"-1", "4294967295"}, {"4294967297", "1"}};
    for (const auto& [value, reported] : numbers) {
        EXPECT_TRUE(rolling.setParam("MaxFileSize", value));
        EXPECT_EQ(rolling.getParam("MaxFileSize"), reported) << value;
        EXPECT_TRUE(rolling.setParam("maxbackupindex", value));
        EXPECT_EQ(rolling.getParam("MaxBackupIndex"), reported) << value;
    }
    DailyFileAppender daily("d", 900);
    EXPECT_TRUE(daily.setParam("DatePattern", "%TEMP%yyyy"));
    EXPECT_EQ(daily.getParam("DatePattern"), "%TEMP%yyyy"); // taken without expansion
}

TEST(FileAppenderOpen, FailuresAndTheirTexts) {
    TempDir dir;
    FileAppender appender("main", 900);
    std::string error;
    EXPECT_FALSE(appender.open(error));
    EXPECT_EQ(error, "unable to open file, no filename specified (Appender:main)");
    EXPECT_FALSE(appender.close(error)); // nothing open to close
    EXPECT_FALSE(appender.start(error));
    EXPECT_FALSE(appender.append(Record("dropped")));

    appender.setParam("File", dir / "a.log");
    EXPECT_TRUE(appender.start(error));
    EXPECT_FALSE(appender.open(error));
    EXPECT_EQ(error, "unable to open file, a file already opened (Appender:main)");
    EXPECT_TRUE(appender.stop(error));

    // A directory where the file should be.
    std::filesystem::create_directory(dir / "taken");
    FileAppender blocked("blocked", 900);
    blocked.setParam("File", dir / "taken");
    EXPECT_FALSE(blocked.open(error));
    EXPECT_EQ(error.rfind("unable to open file '" + (dir / "taken") + "':", 0), 0u) << error;
    EXPECT_GT(error.size(), ("unable to open file '" + (dir / "taken") + "':").size()) << "carries the system's text";

    // A file where a directory of the chain should be.
    dir.WriteFile("plain", "x");
    FileAppender below("below", 900);
    below.setParam("File", BuildPath(dir / "plain", "sub\\a.log", nullptr));
    EXPECT_FALSE(below.open(error));
    EXPECT_FALSE(error.empty());
}

TEST(FileAppenderOpen, CreatesTheDirectoryChainAndKeepsOrEmptiesTheFile) {
    TempDir dir;
    const std::string file =
        BuildPath(BuildPath(BuildPath(dir.path(), "a", nullptr), "b", nullptr), "app.log", nullptr);
    LineLayout layout;
    FileAppender appender("main", 900);
    appender.setLayout(&layout);
    appender.setParam("File", file);
    ASSERT_EQ(Start(appender), "");
    EXPECT_EQ(appender.getParam("FileCurrent"), file);
    appender.append(Record("one"));
    Stop(appender);

    Start(appender); // append mode keeps the content and adds a header
    appender.append(Record("two"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(file), "header main\none\nfooter main\nheader main\ntwo\nfooter main\n");

    appender.setParam("Append", "false");
    Start(appender);
    appender.append(Record("three"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(file), "header main\nthree\nfooter main\n");

    // Forward slashes separate directories in both builds.
    FileAppender slashed("slashed", 900);
    slashed.setParam("File", dir.path() + "/c/d/app.log");
    ASSERT_EQ(Start(slashed), "");
    slashed.append(Record("four"));
    Stop(slashed);
    EXPECT_EQ(
        ReadWholeFile(BuildPath(BuildPath(BuildPath(dir.path(), "c", nullptr), "d", nullptr), "app.log", nullptr)),
        "four\n");
}

TEST(FileAppenderOpen, HeaderOnlyOnCreationSkipsItForAFileWithContent) {
    TempDir dir;
    LineLayout layout;
    FileAppender appender("h", 900);
    appender.setLayout(&layout);
    appender.setParam("HeaderOnlyOnCreation", "true");
    appender.setParam("File", dir.WriteFile("empty.log", ""));
    Start(appender); // an existing empty file counts as new
    appender.append(Record("a"));
    Stop(appender);
    Start(appender);
    appender.append(Record("b"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "empty.log"), "header h\na\nfooter h\nb\nfooter h\n");
}

TEST(FileAppenderWrite, RawRecordsLongRecordsAndNoLayout) {
    TempDir dir;
    FileAppender appender("w", 900);
    appender.setParam("File", dir / "w.log");
    Start(appender);
    EXPECT_TRUE(appender.append(Record("plain"))); // no layout: message and "\n"
    EXPECT_TRUE(appender.append(Record("raw", LogPriority::kUnconditional)));
    const std::string longText(100000, 'x');
    EXPECT_TRUE(appender.append(Record(longText))); // written whole, not cut at 65,535
    Stop(appender);
    EXPECT_FALSE(appender.append(Record("after stop")));
    EXPECT_EQ(ReadWholeFile(dir / "w.log"), "plain\nraw" + longText + "\n");
}

// A target that logs while it writes (here, to itself) has that record
// formatted and written on its own, not taken for the one being written.
TEST(FileAppenderWrite, ARecordAppendedWhileOneIsWrittenKeepsItsOwnText) {
    struct Echoing : FileAppender {
        using FileAppender::FileAppender;
        void write(std::string_view text, const LoggingEvent* event) override {
            if (event != nullptr && event->message == "outer") append(Record("inner"));
            FileAppender::write(text, event);
        }
    };
    TempDir dir;
    Echoing appender("e", 900);
    appender.setParam("File", dir / "e.log");
    Start(appender);
    EXPECT_TRUE(appender.append(Record("outer")));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "e.log"), "inner\nouter\n");
}

// The records a file set holds, oldest first: the backups from the highest
// index down, then the file itself.
std::string ReadFileSet(const std::string& file, int backups) {
    std::string all;
    for (int index = backups; index >= 1; --index) {
        const std::string backup = LogFileNameWithSuffix(file, "." + std::to_string(index));
        if (std::filesystem::exists(backup)) all += ReadWholeFile(backup);
    }
    return all + ReadWholeFile(file);
}

TEST(RollingFileAppender, KeepsTheNewestRecordsInTheBackupSet) {
    TempDir dir;
    const std::string file = dir / "app.log";
    RollingFileAppender appender("roll", 900);
    appender.setParam("File", file);
    appender.setParam("MaxFileSize", "100");
    appender.setParam("MaxBackupIndex", "2");
    Start(appender);
    std::vector<std::string> lines;
    for (int i = 0; i < 100; ++i) {
        lines.push_back("record " + std::to_string(1000 + i) + "\n"); // 12 bytes
        appender.append(Record(lines.back().substr(0, 11)));
    }
    Stop(appender);

    EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"app.1.log", "app.2.log", "app.log"}));
    // 9 records reach 108 bytes: each full file holds exactly 9.
    EXPECT_EQ(ReadWholeFile(dir / "app.1.log").size(), 108u);
    EXPECT_EQ(ReadWholeFile(dir / "app.2.log").size(), 108u);
    std::string newest;
    for (std::size_t i = lines.size() - 18 - 100 % 9; i < lines.size(); ++i) newest += lines[i];
    EXPECT_EQ(ReadFileSet(file, 2), newest); // only whole files of the oldest records went
}

// Each roll-over moves the backups there are: a MaxBackupIndex of a hundred
// million costs no more than one of four.
TEST(RollingFileAppender, ALargeMaxBackupIndexCostsOnlyTheBackupsThatExist) {
    TempDir dir;
    RollingFileAppender appender("roll", 900);
    appender.setParam("File", dir / "app.log");
    appender.setParam("MaxFileSize", "4");
    appender.setParam("MaxBackupIndex", "100000000");
    Start(appender);
    for (const char* text : {"one", "two", "six", "ten", "end"}) appender.append(Record(text)); // 4 bytes each
    Stop(appender);
    EXPECT_EQ(NamesIn(dir.path()),
              (std::vector<std::string>{"app.1.log", "app.2.log", "app.3.log", "app.4.log", "app.5.log", "app.log"}));
    EXPECT_EQ(ReadWholeFile(dir / "app.5.log"), "one\n");
    EXPECT_EQ(ReadWholeFile(dir / "app.1.log"), "end\n");
}

TEST(RollingFileAppender, NoBackupsEmptiesTheFile) {
    TempDir dir;
    RollingFileAppender appender("roll", 900);
    appender.setParam("File", dir / "app.log");
    appender.setParam("MaxFileSize", "10");
    appender.setParam("MaxBackupIndex", "0");
    Start(appender);
    appender.append(Record("123456789")); // 10 bytes: rolled over at once
    appender.append(Record("abc"));
    Stop(appender);
    EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"app.log"}));
    EXPECT_EQ(ReadWholeFile(dir / "app.log"), "abc\n");
}

TEST(RollingFileAppender, AFailedRenameKeepsEveryRecordAndSaysSoOnce) {
    TempDir dir;
    const std::string file = dir / "app.log";
    // A non-empty directory where backup 2 goes: it can be neither deleted
    // nor replaced, so backup 1 cannot move and app.log cannot become backup 1.
    std::filesystem::create_directories(dir / "app.2.log" + PathSeparator() + "x");
    dir.WriteFile("app.1.log", "old backup\n");
    RollingFileAppender appender("roll", 900);
    appender.setParam("File", file);
    appender.setParam("MaxFileSize", "20");
    appender.setParam("MaxBackupIndex", "2");
    Start(appender);
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        const std::string message = "record " + std::to_string(i);
        appender.append(Record(message));
        expected += message + "\n";
    }
    EXPECT_EQ(ReadWholeFile(dir / "app.1.log"), "old backup\n");
    const std::string kept = ReadWholeFile(file);
    // Records 0-2 reach 27 bytes: the roll-over fails and says so; the next
    // attempt waits for another 20 bytes, so records 3-4 (18 bytes) go on.
    const std::size_t report =
        kept.find("unable to roll over: renaming '" + file + "' to '" + (dir / "app.1.log") + "' failed (");
    ASSERT_NE(report, std::string::npos) << kept;
    EXPECT_EQ(kept.find("unable to roll over", report + 1), std::string::npos) << "reported once";
    std::string withoutReport = kept;
    withoutReport.erase(report, kept.find('\n', report) + 1 - report);
    EXPECT_EQ(withoutReport, expected);

    // Once the way is free, the next roll-over moves everything.
    std::filesystem::remove_all(dir / "app.2.log");
    appender.append(Record("record 5"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "app.2.log"), "old backup\n");
    EXPECT_EQ(ReadWholeFile(dir / "app.1.log"), kept + "record 5\n");
    EXPECT_EQ(ReadWholeFile(file), "");
}

TEST(DailyFileAppender, OneFilePerDayFooterAndHeaderAtMidnight) {
    TempDir dir;
    CalendarTime day = kSampleTime;
    FixedLogClock clock(day);
    LineLayout layout;
    DailyFileAppender appender("day", 900);
    appender.setLayout(&layout);
    EXPECT_EQ(appender.fileName(), "");
    appender.setParam("File", dir / "app.log");
    EXPECT_EQ(appender.fileName(), dir / "app.2010-05-09.log");
    dir.WriteFile("app.2010-05-10.log", "stale\n");
    Start(appender);
    appender.append(Record("sunday"));
    day.day = 10;
    clock.set(day);
    appender.append(Record("monday"));
    EXPECT_EQ(appender.getParam("FileCurrent"), dir / "app.2010-05-10.log");
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "app.2010-05-09.log"), "header day\nsunday\nfooter day\n");
    // The new day's file starts empty even in append mode.
    EXPECT_EQ(ReadWholeFile(dir / "app.2010-05-10.log"), "header day\nmonday\nfooter day\n");
}

TEST(DailyRollingFileAppender, RenamesTheFinishedPeriod) {
    TempDir dir;
    CalendarTime day = kSampleTime;
    FixedLogClock clock(day);
    LineLayout layout;
    DailyRollingFileAppender appender("roll", 900);
    appender.setLayout(&layout);
    appender.setParam("File", dir / "app.log");
    Start(appender);
    appender.append(Record("sunday"));
    appender.append(Record("sunday again"));
    day.day = 10;
    clock.set(day);
    appender.append(Record("monday"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "app.2010-05-09.log"), "header roll\nsunday\nsunday again\nfooter roll\n");
    EXPECT_EQ(ReadWholeFile(dir / "app.log"), "header roll\nmonday\nfooter roll\n");
}

TEST(DailyRollingFileAppender, ATakenBackupNameLosesNothing) {
    TempDir dir;
    CalendarTime day = kSampleTime;
    FixedLogClock clock(day);
    dir.WriteFile("app.2010-05-09.log", "from another run\n");
    DailyRollingFileAppender appender("roll", 900);
    appender.setParam("File", dir / "app.log");
    Start(appender);
    appender.append(Record("sunday"));
    day.day = 10;
    clock.set(day);
    appender.append(Record("monday"));
    appender.append(Record("monday again")); // no second attempt within the period
    EXPECT_EQ(ReadWholeFile(dir / "app.2010-05-09.log"), "from another run\n");
    const std::string kept = ReadWholeFile(dir / "app.log");
    EXPECT_EQ(kept.rfind("sunday\nunable to roll over: renaming '", 0), 0u) << kept;
    EXPECT_NE(kept.find("' failed ("), std::string::npos);
    EXPECT_EQ(kept.substr(kept.size() - 20), "monday\nmonday again\n");

    day.day = 11; // the next period moves both days
    clock.set(day);
    appender.append(Record("tuesday"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "app.2010-05-10.log"), kept);
    EXPECT_EQ(ReadWholeFile(dir / "app.log"), "tuesday\n");
}

TEST(FileAppenderBuffer, ParamsReportsAndRefusals) {
    FileAppender appender("b", 900);
    EXPECT_EQ(appender.getParam("BufferSize"), "0");
    EXPECT_EQ(appender.getParam("FlushPriority"), "ERROR");
    const struct {
        const char* name;
        const char* value;
        bool taken;
        const char* reported; // after the call
    } cases[] = {
        {"buffersize", " 65536 ", true, "65536"}, {"BufferSize", "abc", false, "65536"},
        {"BufferSize", "-1", false, "65536"},     {"BufferSize", "+5", false, "65536"},
        {"BufferSize", "", false, "65536"},       {"BufferSize", "67108865", false, "65536"},
        {"BufferSize", "0", true, "0"},           {"flushpriority", "warn", true, "WARN"},
        {"FlushPriority", "loud", false, "WARN"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(appender.setParam(c.name, c.value), c.taken) << c.name << "=" << c.value;
        EXPECT_EQ(appender.getParam(c.name), c.reported) << c.name << "=" << c.value;
    }
}

// What the file holds after each step, with a 16-byte buffer: texts gather
// until the next would not fit; a longer one follows the buffer on its own;
// a record at FlushPriority (WARN here) or more severe writes at once; a
// failed write loses that buffer only; closing writes the footer and the rest.
TEST(FileAppenderBuffer, WhenTheBufferIsWritten) {
    TempDir dir;
    const std::string file = dir / "b.log";
    LineLayout layout;
    FileAppender appender("b", 900);
    appender.setLayout(&layout);
    appender.setParam("File", file);
    appender.setParam("BufferSize", "16");
    appender.setParam("FlushPriority", "WARN");
    ASSERT_EQ(Start(appender), "");
    const struct {
        const char* message;
        Priority priority;
        const char* file;
    } steps[] = {
        {"one", LogPriority::kInfo, ""},                // "header b\n" + "one\n" = 13
        {"two", LogPriority::kInfo, "header b\none\n"}, // 17 would not fit
        {"a record longer than 16", LogPriority::kInfo, "header b\none\ntwo\na record longer than 16\n"},
        {"three", LogPriority::kNotice, "header b\none\ntwo\na record longer than 16\n"},
        {"warned", LogPriority::kWarn, "header b\none\ntwo\na record longer than 16\nthree\nwarned\n"},
    };
    for (const auto& step : steps) {
        appender.append(Record(step.message, step.priority));
        EXPECT_EQ(ReadWholeFile(file), step.file) << step.message;
    }
    appender.append(Record("lost"));
    InjectFileFault(FileOperation::Write, 1, 112); // a full disk
    appender.flush();
    appender.append(Record("kept"));
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(file), std::string(steps[4].file) + "kept\nfooter b\n");
}

// Size-based roll-over counts the buffered bytes, and the buffer goes to the
// file being rolled: the same files as without a buffer (see above), each
// complete as soon as it is rolled.
TEST(FileAppenderBuffer, RollOverCountsAndWritesTheBuffer) {
    TempDir dir;
    RollingFileAppender appender("roll", 900);
    appender.setParam("File", dir / "app.log");
    appender.setParam("MaxFileSize", "100");
    appender.setParam("BufferSize", "65536");
    Start(appender);
    for (int i = 0; i < 20; ++i) appender.append(Record("record " + std::to_string(1000 + i)));
    EXPECT_EQ(ReadWholeFile(dir / "app.2.log").size(), 108u);
    EXPECT_EQ(ReadWholeFile(dir / "app.1.log").size(), 108u);
    EXPECT_EQ(ReadWholeFile(dir / "app.log"), "");
    Stop(appender);
    EXPECT_EQ(ReadWholeFile(dir / "app.log"), "record 1018\nrecord 1019\n");
}

// A new day writes the buffer before the file is switched: each record lands
// in its own day's file.
TEST(FileAppenderBuffer, ANewDayWritesTheBufferFirst) {
    TempDir dir;
    DailyFileAppender daily("daily", 900);
    DailyRollingFileAppender rolling("rolling", 900);
    const struct {
        FileAppender* appender;
        const char* directory;
        const char* current; // the second day's file
    } cases[] = {{&daily, "d", "app.2010-05-10.log"}, {&rolling, "r", "app.log"}};
    for (const auto& c : cases) {
        CalendarTime day = kSampleTime;
        FixedLogClock clock(day);
        const std::string directory = dir / c.directory;
        c.appender->setParam("File", BuildPath(directory, "app.log", nullptr));
        c.appender->setParam("BufferSize", "65536");
        Start(*c.appender);
        c.appender->append(Record("sunday"));
        day.day = 10;
        clock.set(day);
        c.appender->append(Record("monday"));
        EXPECT_EQ(ReadWholeFile(BuildPath(directory, "app.2010-05-09.log", nullptr)), "sunday\n") << c.directory;
        Stop(*c.appender);
        EXPECT_EQ(ReadWholeFile(BuildPath(directory, c.current, nullptr)), "monday\n") << c.directory;
    }
}

TEST(LogFileNames, SuffixBeforeTheExtension) {
    const struct {
        const char* file;
        const char* suffix;
        const char* expected;
    } cases[] = {
#ifdef _WIN32
        {"C:\\logs\\app.log", ".2010-05-09", "C:\\logs\\app.2010-05-09.log"},
        {"C:\\app.log", ".1", "C:\\app.1.log"},
        {"\\\\server\\share\\app.log", ".3", "\\\\server\\share\\app.3.log"},
        {"C:\\logs.d\\app", ".1", "C:\\logs.d\\app.1"},
#else
        {"/var/log/app.log", ".2010-05-09", "/var/log/app.2010-05-09.log"},
        {"/app.log", ".1", "/app.1.log"},
        {"/var/logs.d/app", ".1", "/var/logs.d/app.1"},
#endif
        {"app.log", "2010", "app2010.log"},
        {"app.tar.gz", ".1", "app.tar.1.gz"},
    };
    for (const auto& c : cases) EXPECT_EQ(LogFileNameWithSuffix(c.file, c.suffix), c.expected) << c.file;

    // The base name is cut to 255 bytes, never inside a character.
    EXPECT_EQ(LogFileNameWithSuffix(std::string(254, 'a') + ".log", "\xC3\xA9\xC3\xA9"),
              std::string(254, 'a') + ".log");
    EXPECT_EQ(LogFileNameWithSuffix(std::string(252, 'a') + ".log", "\xC3\xA9\xC3\xA9"),
              std::string(252, 'a') + "\xC3\xA9.log");
}

} // namespace
