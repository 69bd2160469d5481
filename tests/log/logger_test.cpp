#include "log/logger.h"
#include "recording_appender.h"

#include <gtest/gtest.h>

namespace {

struct Started : RecordingAppender {
    Started(const std::string& name, Priority threshold) : RecordingAppender(name, threshold) {
        std::string error;
        start(error);
    }
};

TEST(LoggerDispatch, BothThresholdsOrForcedPriority) {
    const struct {
        Priority loggerThreshold, appenderThreshold, priority;
        bool delivered;
    } cases[] = {
        {300, 1000, 300, true}, {300, 1000, 400, false}, {300, 1000, 9998, true},   {600, 900, 700, false},
        {600, 900, 9998, true}, {1000, 400, 500, false}, {1000, 400, 400, true},    {-2, 1000, 0, false},
        {-2, -2, 9998, true},   {-2, -2, 9999, true},    {1000, 1000, 1001, false},
    };
    for (const auto& c : cases) {
        Started appender("rec", c.appenderThreshold);
        Logger logger("x", c.loggerThreshold, true);
        logger.addAppender(&appender);
        EXPECT_TRUE(logger.log(c.priority, "m"));
        EXPECT_EQ(appender.events.size(), c.delivered ? 1u : 0u)
            << c.loggerThreshold << " " << c.appenderThreshold << " " << c.priority;
    }
}

TEST(LoggerDispatch, RecordFieldsInactiveAndRepeatedAppenders) {
    Started first("first", 900), second("second", 900), inactive("off", 1000);
    inactive.setActive(false);
    Logger logger("com.zor.test", 600, true);
    for (Appender* appender : {&first, &inactive, &second, &second}) logger.addAppender(appender);
    logger.addAppender(nullptr); // not listed
    EXPECT_EQ(logger.appenderCount(), 4);
    logger.warn("hello");
    logger.force("forced");

    EXPECT_TRUE(inactive.events.empty()); // not even the forced record
    ASSERT_EQ(first.events.size(), 2u);
    EXPECT_EQ(second.events.size(), 4u); // listed twice, receives twice
    const LoggingEvent& event = second.events[0];
    EXPECT_EQ(event.message, "hello");
    EXPECT_EQ(event.categoryName, "com.zor.test");
    EXPECT_EQ(event.priority, 400);
    EXPECT_EQ(event.threadName, CurrentThreadText());
    EXPECT_LT(event.elapsedMs, 60000u);
    EXPECT_EQ(event.appenderClassName, "RecordingAppender");
    EXPECT_EQ(event.appenderName, "second");
    EXPECT_EQ(first.events[0].appenderName, "first");
}

TEST(LoggerCalls, EachConvenienceCallUsesItsPriorityAndLongTextsAreCut) {
    Started appender("rec", 1000);
    Logger logger("x", 1000, true);
    logger.addAppender(&appender);
    const struct {
        bool (Logger::*plain)(std::string_view);
        bool (Logger::*formatted)(const char*, ...);
        Priority priority;
    } cases[] = {
        {&Logger::trace, &Logger::traceFormat, 800}, {&Logger::debug, &Logger::debugFormat, 700},
        {&Logger::info, &Logger::infoFormat, 600},   {&Logger::notice, &Logger::noticeFormat, 500},
        {&Logger::warn, &Logger::warnFormat, 400},   {&Logger::error, &Logger::errorFormat, 300},
        {&Logger::fatal, &Logger::fatalFormat, 0},   {&Logger::force, &Logger::forceFormat, 9998},
    };
    for (const auto& c : cases) {
        appender.events.clear();
        EXPECT_TRUE((logger.*c.plain)("plain"));
        EXPECT_TRUE((logger.*c.formatted)("%s %03d", "formatted", 7));
        ASSERT_EQ(appender.events.size(), 2u);
        EXPECT_EQ(appender.events[0].priority, c.priority);
        EXPECT_EQ(appender.events[1].priority, c.priority);
        EXPECT_EQ(appender.events[0].message + "|" + appender.events[1].message, "plain|formatted 007");
    }
    for (std::size_t length : {Logger::kFormatBufferSize - 1, Logger::kFormatBufferSize, std::size_t{200000}}) {
        appender.events.clear();
        EXPECT_TRUE(logger.logFormat(LogPriority::kAlert, "%s", std::string(length, 'z').c_str()));
        EXPECT_EQ(appender.events.at(0).message.size(), std::min(length, Logger::kFormatBufferSize - 1));
    }
}

// An appender that logs while it receives a record gets a record of its
// own: the one it is handling stays as it was.
TEST(LoggerDispatch, ARecordLoggedWhileOneIsDeliveredLeavesItAlone) {
    struct Nesting : Started {
        using Started::Started;
        Logger* inner = nullptr;
        std::string seenAfter;

    protected:
        bool appendLocked(const LoggingEvent& event) override {
            if (inner != nullptr) inner->error("inner");
            seenAfter = event.message + "/" + event.categoryName;
            return Started::appendLocked(event);
        }
    } outer("outer", 900);
    Started recorder("recorder", 900);
    Logger innerLogger("inner.logger", 600, true), outerLogger("outer.logger", 600, true);
    innerLogger.addAppender(&recorder);
    outerLogger.addAppender(&outer);
    outer.inner = &innerLogger;
    outerLogger.info("outer");
    EXPECT_EQ(outer.seenAfter, "outer/outer.logger");
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0].message, "inner");
    EXPECT_EQ(recorder.events[0].threadName, CurrentThreadText());
}

TEST(LoggerAppenderList, IndexQueries) {
    Layout layout;
    Started first("first", 900), second("second", 900);
    second.setLayout(&layout);
    Logger logger("x", 600, true);
    logger.addAppender(&first);
    logger.addAppender(&second);
    EXPECT_EQ(logger.appenderAt(1), &second);
    EXPECT_STREQ(logger.appenderNameAt(0), "first");
    EXPECT_STREQ(logger.appenderClassNameAt(1), "RecordingAppender");
    EXPECT_STREQ(logger.layoutClassNameAt(0), "[NoLayout]");
    EXPECT_STREQ(logger.layoutClassNameAt(1), "SkeletonLayout");
    for (int index : {-1, 2}) {
        EXPECT_EQ(logger.appenderAt(index), nullptr);
        EXPECT_EQ(logger.appenderNameAt(index), nullptr);
        EXPECT_EQ(logger.appenderClassNameAt(index), nullptr);
        EXPECT_EQ(logger.layoutClassNameAt(index), nullptr);
    }
}

} // namespace
