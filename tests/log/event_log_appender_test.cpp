// The event-log target: event types by priority, and the source's lifetime.
#include "log/appenders/event_log_appender.h"
#include "tests/log/recording_appender.h"

#include <gtest/gtest.h>

namespace {

TEST(EventLogAppender, EventTypeFollowsThePriorityBands) {
    for (const Priority priority : {LogPriority::kFatal, LogPriority::kCritical, LogPriority::kError})
        EXPECT_EQ(EventTypeOf(priority), LogEventType::Error) << priority;
    for (const Priority priority : {301, LogPriority::kWarn, LogPriority::kNotice, 599})
        EXPECT_EQ(EventTypeOf(priority), LogEventType::Warning) << priority;
    for (const Priority priority : {LogPriority::kInfo, LogPriority::kDebug, LogPriority::kNotSet, 9999})
        EXPECT_EQ(EventTypeOf(priority), LogEventType::Information) << priority;
}

TEST(EventLogAppender, OpensOnceClosesOnceAndTheDestructorAddsNothing) {
    FramingLayout layout;
    EventLogAppender appender("ZorTestSource", LogPriority::kNotSet);
    appender.setLayout(&layout);
    std::string error;
    EXPECT_TRUE(appender.start(error)) << error;
    EXPECT_TRUE(appender.open(error)) << error;
    EXPECT_TRUE(appender.append(LoggingEvent("m", "c", "t", LogPriority::kWarn, 0)));
    EXPECT_TRUE(appender.stop(error)) << error;
    // Closed: a second close has no source to release and succeeds.
    EXPECT_TRUE(appender.close(error));
    EXPECT_FALSE(appender.append(LoggingEvent("m", "c", "t", LogPriority::kWarn, 0)));
}

} // namespace
