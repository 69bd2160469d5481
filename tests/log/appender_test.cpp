#include "log/appenders/null_appender.h"
#include "log/reentrant_lock.h"
#include "recording_appender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Texts = std::vector<std::string>;

TEST(AppenderParams, ThresholdActiveAutoStart) {
    Appender appender;
    EXPECT_EQ(appender.getName(), "[NoAppenderName]");
    EXPECT_EQ(appender.getThreshold(), 900);
    EXPECT_TRUE(appender.setParam("threshold", "Warn")); // names are case-insensitive
    EXPECT_EQ(appender.getThreshold(), 400);
    for (const char* refused : {"Loud", "", "400", " Warn"}) EXPECT_FALSE(appender.setParam("Threshold", refused));
    EXPECT_EQ(appender.getThreshold(), 400);

    const std::pair<const char*, bool> booleans[] = {{"true", true}, {"TRUE", true}, {"1", true},
                                                     {"yes", false}, {"01", false},  {"", false}};
    for (const auto& [value, expected] : booleans) {
        EXPECT_TRUE(appender.setParam("ACTIVE", value));
        EXPECT_EQ(appender.isActive(), expected) << value;
        EXPECT_TRUE(appender.setParam("autostart", value));
        EXPECT_EQ(appender.isAutoStart(), expected) << value;
    }
    EXPECT_FALSE(appender.setParam("File", "x.log"));
    for (const char* name : {"Threshold", "Active", "AutoStart"}) EXPECT_EQ(appender.getParam(name), "");
}

TEST(AppenderLifecycle, HeaderOnStartFooterOnStopNothingWhileClosed) {
    FramingLayout layout;
    RecordingAppender appender("rec", 900);
    appender.setLayout(&layout);
    LoggingEvent event;
    event.message = "m";
    std::string error;
    EXPECT_FALSE(appender.append(event));
    EXPECT_TRUE(appender.start(error));
    EXPECT_TRUE(appender.append(event));
    EXPECT_TRUE(appender.stop(error));
    EXPECT_FALSE(appender.isOpened());
    EXPECT_FALSE(appender.append(event));
    EXPECT_EQ(appender.texts, (Texts{"head:RecordingAppender:rec", "<m>", "foot:RecordingAppender:rec"}));

    NullAppender null("null", 900);
    EXPECT_STREQ(null.className(), "NullAppender");
    EXPECT_FALSE(null.append(event));
    EXPECT_TRUE(null.start(error));
    EXPECT_TRUE(null.append(event));
}

TEST(AppenderLifecycle, FailedOpenAndCloseShowInTheOpenedState) {
    RecordingAppender appender("bad", 900, true);
    std::string error;
    EXPECT_FALSE(appender.start(error));
    EXPECT_EQ(error, "cannot open");
    EXPECT_FALSE(appender.isOpened());
    EXPECT_FALSE(appender.stop(error));
    EXPECT_EQ(error, "cannot close");
    EXPECT_TRUE(appender.isOpened()); // a failed close leaves it opened
    EXPECT_FALSE(appender.closeFinally(error));
    EXPECT_FALSE(appender.isOpened());
}

TEST(AppenderFormat, RawRecordsLayoutsAndMissingLayouts) {
    FramingLayout layout;
    RecordingAppender appender("rec", 900);
    LoggingEvent event;
    event.message = "text";
    const struct {
        Priority priority;
        bool withLayout, layoutRequired, ok;
        const char* text;
    } cases[] = {
        {300, false, false, true, "text\n"}, {300, true, false, true, "<text>"}, {300, false, true, false, ""},
        {9998, true, false, true, "<text>"}, {9999, true, false, true, "text"},  {9999, false, true, true, "text"},
    };
    for (const auto& c : cases) {
        event.priority = c.priority;
        appender.setLayout(c.withLayout ? &layout : nullptr);
        appender.layoutRequired = c.layoutRequired;
        std::string out = "stale";
        EXPECT_EQ(appender.formatEvent(event, out), c.ok) << c.priority << c.withLayout << c.layoutRequired;
        EXPECT_EQ(out, c.text) << c.priority << c.withLayout << c.layoutRequired;
    }
    std::string error;
    appender.start(error);
    event.priority = 300;
    EXPECT_FALSE(appender.append(event)); // formatting failed: nothing written
    EXPECT_TRUE(appender.texts.empty());
}

} // namespace

namespace {

TEST(ReentrantLock, TheOwnerTakesItAgainOthersWaitForTheLastUnlock) {
    ReentrantLock lock;
    std::atomic<bool> otherHolds{false};
    lock.lock();
    lock.lock(); // the owner again: no deadlock
    std::thread other([&] {
        lock.lock();
        otherHolds = true;
        lock.unlock();
    });
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(otherHolds) << "one unlock of two released the lock";
    lock.unlock();
    other.join();
    EXPECT_TRUE(otherHolds);
}

} // namespace
