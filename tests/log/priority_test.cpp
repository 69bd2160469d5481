#include "log/layout.h"
#include "log/logging_event.h"
#include "log/priority.h"

#include <gtest/gtest.h>

namespace {

TEST(Priority, OutputNames) {
    const std::pair<Priority, const char*> cases[] = {
        {-3, "UNDEFINED"},       {-2, "OFF"},           {0, "FATAL"},          {100, "ALERT"}, {200, "CRITICAL"},
        {300, "ERROR"},          {400, "WARN"},         {500, "NOTICE"},       {600, "INFO"},  {700, "DEBUG"},
        {800, "TRACE"},          {900, "NOTSET"},       {1000, "ALL"},         {9998, ""},     {9999, "Unconditional"},
        {1234, "Unconditional"}, {50, "Unconditional"}, {-1, "Unconditional"},
    };
    for (const auto& [value, name] : cases) EXPECT_STREQ(priorityName(value), name) << value;
}

TEST(Priority, ParsingIsWholeTextAndCaseInsensitive) {
    const std::pair<const char*, Priority> cases[] = {
        {"Off", -2},    {"Force", 9998},   {"Fatal", 0},          {"Alert", 100}, {"Critic", 200}, {"Critical", 200},
        {"Error", 300}, {"Warn", 400},     {"WARN", 400},         {"warn", 400},  {"Notice", 500}, {"Info", 600},
        {"DEBUG", 700}, {"Trace", 800},    {"NotSet", 900},       {"All", 1000},  {"", -3},        {" Warn", -3},
        {"Warn ", -3},  {"UNDEFINED", -3}, {"Unconditional", -3}, {"Crit", -3},   {"400", -3},
    };
    for (const auto& [text, value] : cases) EXPECT_EQ(parsePriority(text), value) << '"' << text << '"';
}

TEST(LoggingEvent, DefaultsShowThroughTheBaseLayout) {
    const LoggingEvent event;
    EXPECT_EQ(event.threadName, "[ThreadNameNotSet]");
    EXPECT_EQ(event.priority, LogPriority::kNotSet);
    EXPECT_EQ(event.elapsedMs, 0u);
    EXPECT_EQ(event.appenderName + event.appenderClassName, "");

    Layout layout;
    std::string text = "stale";
    EXPECT_FALSE(layout.header(text, "FileAppender", "a"));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(layout.footer(text, "FileAppender", "a"));
    EXPECT_FALSE(layout.setParam("ConversionPattern", "%m"));
    EXPECT_STREQ(layout.className(), "SkeletonLayout");
    EXPECT_TRUE(layout.format(event, text));
    EXPECT_EQ(text, "[MessageNotSet]\n");
    EXPECT_EQ(LoggingEvent().categoryName, "[CategoryNotSet]");
    EXPECT_STREQ(kLogLineEnd, "\r\n");
    EXPECT_EQ(CurrentThreadText().find_first_not_of("0123456789"), std::string::npos);
}

} // namespace
