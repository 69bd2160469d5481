// The console, slow-resource and debugger targets.
#include "log/appenders/console_appender.h"
#include "log/appenders/slow_resource_appender.h"
#include "log/appenders/win32_debug_appender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class LineLayout : public Layout {
public:
    bool header(std::string& text, const std::string& appenderClass, const std::string&) const override {
        text = "<" + appenderClass + ">\n";
        return true;
    }
    bool footer(std::string& text, const std::string& appenderClass, const std::string&) const override {
        text = "</" + appenderClass + ">\n";
        return true;
    }
    bool format(const LoggingEvent& event, std::string& text) const override {
        text = event.message + "\n";
        return true;
    }
};

LoggingEvent Record(const std::string& message) {
    LoggingEvent event;
    event.message = message;
    return event;
}

TEST(ConsoleAppender, WritesHeaderRecordsAndFooterToStandardOutput) {
    LineLayout layout;
    ConsoleAppender appender("console", 900);
    appender.setLayout(&layout);
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(appender.start(error));
    EXPECT_TRUE(appender.append(Record("one")));
    EXPECT_TRUE(appender.append(Record(std::string("with\0nul", 8))));
    EXPECT_TRUE(appender.stop(error));
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "<ConsoleAppender>\none\n" + std::string("with\0nul", 8) + "\n</ConsoleAppender>\n");
    EXPECT_FALSE(appender.append(Record("closed")));
}

TEST(Win32DebugAppender, HandsEveryTextToTheDebugger) {
    LineLayout layout;
    Win32DebugAppender appender("debug", 900);
    EXPECT_STREQ(appender.className(), "Win32DebugAppender");
    appender.setLayout(&layout);
    std::string error;
#ifndef _WIN32
    testing::internal::CaptureStderr();
#endif
    ASSERT_TRUE(appender.start(error));
    EXPECT_TRUE(appender.append(Record("to the debugger")));
    EXPECT_TRUE(appender.stop(error));
#ifndef _WIN32
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "<Win32DebugAppender>\nto the debugger\n</Win32DebugAppender>\n");
#endif
}

TEST(SlowResourceAppender, TimeOutParameter) {
    SlowResourceAppender appender("slow", 900);
    EXPECT_EQ(appender.getParam("TimeOut"), "100");
    const std::pair<const char*, const char*> values[] = {{"1000", "1000"}, {" 20ms", "20"}, {"-2", "4294967294"}};
    for (const auto& [value, reported] : values) {
        EXPECT_TRUE(appender.setParam("timeout", value));
        EXPECT_EQ(appender.getParam("TimeOut"), reported) << value;
    }
    EXPECT_TRUE(appender.setParam("Threshold", "Warn"));
    EXPECT_FALSE(appender.setParam("Delay", "1"));
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(appender.start(error));
    EXPECT_TRUE(appender.append(Record("negative time-out: no wait"))); // -2 does not sleep for days
    appender.stop(error);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "negative time-out: no wait\n");
}

// A second thread that logs while the first one's record is being delayed
// waits for the whole delay: its record comes second and its append returns
// second. Only the order is checked.
TEST(SlowResourceAppender, OtherThreadsWaitForTheWholePeriod) {
    SlowResourceAppender appender("slow", 900);
    appender.setParam("TimeOut", "1000");
    std::string error;
    testing::internal::CaptureStdout();
    ASSERT_TRUE(appender.start(error));
    std::atomic<bool> firstStarted{false};
    std::mutex orderLock;
    std::vector<std::string> returned;
    std::thread first([&] {
        firstStarted = true;
        appender.append(Record("first"));
        std::lock_guard<std::mutex> guard(orderLock);
        returned.push_back("first");
    });
    while (!firstStarted) std::this_thread::yield();
    std::this_thread::sleep_for(
        std::chrono::milliseconds(200)); // well inside the first record's 500 ms before its write
    appender.append(Record("second"));
    {
        std::lock_guard<std::mutex> guard(orderLock);
        returned.push_back("second");
    }
    first.join();
    appender.stop(error);
    std::fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\nsecond\n");
    EXPECT_EQ(returned, (std::vector<std::string>{"first", "second"}));
}

} // namespace
