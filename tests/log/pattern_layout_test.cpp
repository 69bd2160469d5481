#include "log/layouts/pattern_layout.h"

#include "common/environment.h"
#include "fixed_log_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace {

LoggingEvent SampleEvent() {
    LoggingEvent event;
    event.message = "disk full";
    event.categoryName = "com.zor.common.registry";
    event.threadName = "1234";
    event.priority = LogPriority::kWarn;
    event.elapsedMs = 42;
    event.appenderName = "main";
    event.appenderClassName = "FileAppender";
    return event;
}

struct PatternCase {
    const char* pattern;
    const char* expected;
};

class PatternLayoutTest : public ::testing::Test {
protected:
    // The text of event under pattern; a failed format is reported.
    static std::string Format(const char* pattern, const LoggingEvent& event = SampleEvent()) {
        PatternLayout layout(pattern);
        std::string text;
        EXPECT_TRUE(layout.format(event, text)) << "pattern: " << pattern;
        return text;
    }
    static void ExpectTexts(std::initializer_list<PatternCase> cases, const LoggingEvent& event = SampleEvent()) {
        for (const PatternCase& c : cases) EXPECT_EQ(Format(c.pattern, event), c.expected) << "pattern: " << c.pattern;
    }

    FixedLogClock clock_{kSampleTime};
};

TEST_F(PatternLayoutTest, DefaultPatternPadsThePriority) {
    PatternLayout layout;
    EXPECT_EQ(layout.conversionPattern(), "%-5p - %m%n");
    std::string text;
    ASSERT_TRUE(layout.format(SampleEvent(), text));
    EXPECT_EQ(text, "WARN  - disk full\r\n");
    LoggingEvent fresh;
    ASSERT_TRUE(layout.format(fresh, text));
    EXPECT_EQ(text, "NOTSET - [MessageNotSet]\r\n");
}

TEST_F(PatternLayoutTest, EveryRecordField) {
    LoggingEvent event = SampleEvent();
    ExpectTexts(
        {
            {"%a|%b|%c|%m|%p|%r|%t", "main|FileAppender|com.zor.common.registry|disk full|WARN|42|1234"},
            {"[%n]", "[\r\n]"},
            {"<%R>", "<>"},
            {"<%10R>", "<>"}, // no text, and no fill either
            {"<%R{ignored}>", "<>"},
            {"%m{ignored}!", "disk full!"},
            {"%{p}", "WARN}"}, // a brace before the letter is a modifier
            {"plain text only", "plain text only"},
            {"", ""},
        },
        event);
    event.elapsedMs = 4294967295u;
    event.priority = LogPriority::kForce;
    ExpectTexts({{"%r", "4294967295"}, {"[%p]", "[]"}}, event);
    event.priority = 1234;
    ExpectTexts({{"%p", "Unconditional"}}, event);
}

TEST_F(PatternLayoutTest, JustificationAndWidth) {
    LoggingEvent event = SampleEvent();
    event.categoryName = "app";
    ExpectTexts(
        {
            {"%-10c|", "app       |"},
            {"%10c|", "       app|"},
            {"%2c|", "app|"}, // never cut
            {"%3c|", "app|"},
            {"%-4m|", "disk full|"},
            {"% 6p|", "  WARN|"},  // leading blanks before the digits
            {"%+6p|", "  WARN|"},  // a sign
            {"%06p|", "  WARN|"},  // a zero is no fill character
            {"%6.2p|", "  WARN|"}, // digits up to the first other character
            {"%..6p|", "WARN|"},   // no digits: width 0
            {"%--6p|", "WARN|"},   // a negative width counts as 0
            {"%5r|", "   42|"},
            {"%-5t|", "1234 |"},
            {"%5n", "   \r\n"},
            {"%-5n", "\r\n   "},
            {"%2n%1n", "\r\n\r\n"},
            {"%12d{HH:mm}|", "       07:36|"},
            {"%-12d{HH:mm}|", "07:36       |"},
        },
        event);
}

TEST_F(PatternLayoutTest, WidthHasNoLengthLimitButIsCapped) {
    // Far more modifier characters than any fixed buffer would hold.
    const std::string longModifiers = "%-" + std::string(200, '0') + "7p|";
    EXPECT_EQ(Format(longModifiers.c_str()), "WARN   |");
    const struct {
        const char* pattern;
        std::size_t size;
    } cases[] = {
        {"%65535m", 65535},
        {"%65536m", 65535},
        {"%-99999999999999999999999m", 65535},
        {"%4294967297m", 65535}, // no wrap to 1 through a 32-bit conversion
    };
    for (const auto& c : cases) EXPECT_EQ(Format(c.pattern).size(), c.size) << c.pattern;
}

TEST_F(PatternLayoutTest, CategoryComponents) {
    ExpectTexts({
        {"%c{1}", "registry"},
        {"%c{2}", "common.registry"},
        {"%c{4}", "com.zor.common.registry"},
        {"%c{9}", "com.zor.common.registry"},
        {"%c{99999999999999999999}", "com.zor.common.registry"},
        {"%c{}", "com.zor.common.registry"},
        {"[%c{0}]", "[]"},
        {"[%c{-1}]", "[]"},
        {"[%c{x}]", "[]"},
        {"%c{ 2}", "common.registry"},
        {"%c{2x}", "common.registry"},
        {"%-10c{1}|", "registry  |"},
    });

    const struct {
        const char* category;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {".a.b", "%c{1}", "b"},      {".a.b", "%c{2}", ".a.b"}, // the dot at the very start does not count
        {"a.b.", "[%c{1}]", "[]"},   {"a..b", "%c{2}", ".b"},   {"a..b", "%c{3}", "a..b"},
        {"plain", "%c{1}", "plain"}, {"", "[%c{1}]", "[]"},     {".", "%c{1}", "."},
    };
    for (const auto& c : cases) {
        LoggingEvent event = SampleEvent();
        event.categoryName = c.category;
        EXPECT_EQ(Format(c.pattern, event), c.expected) << c.category << " " << c.pattern;
    }
}

TEST_F(PatternLayoutTest, DatesFromTheClock) {
    ExpectTexts({
        {"%d", "2010-05-09 07:36:04,123"},
        {"%d{}", "2010-05-09 07:36:04,123"},
        {"%d{iso8601}", "2010-05-09 07:36:04,123"},
        {"%d{ABSOLUTE}", "07:36:04,123"},
        {"%d{yyyy}/%d{MMM}", "2010/May."},
        {"%d{HH\\mm}", "07\\36"}, // a backslash inside the option is no escape
        {"%d{'%m'}", "%m"},       // nor is a "%"
        {"%d{HH}}", "07}"},       // the option ends at the first closing brace
    });
}

TEST_F(PatternLayoutTest, EscapesAndPercent) {
    ExpectTexts({
        {"100%%", "100%"},
        {"%%m", "%m"},
        {"a\\nb", "a\r\nb"},
        {"a\\\\b", "a\\b"},
        {"a\\\\nb", "a\\nb"},
        {"a\\xb", "ab"}, // an unknown escape writes nothing
        {"a\\%m", "am"}, // and hides the character after it
        {"ab\\", "ab"},  // a backslash at the end ends the pattern
        {"\\", ""},
    });
}

TEST_F(PatternLayoutTest, EnvironmentAndModule) {
    SetEnvironmentValue("USERNAME", "alice");
    SetEnvironmentValue("COMPUTERNAME", "HOST1");
    ExpectTexts({{"%u@%O", "alice@HOST1"}, {"%-7u|%7O", "alice  |  HOST1"}});
    SetEnvironmentValue("USERNAME", "bob"); // read for each record
    ExpectTexts({{"%u", "bob"}});
    SetEnvironmentValue("USERNAME", nullptr);
    SetEnvironmentValue("COMPUTERNAME", nullptr);
    ExpectTexts({{"[%u@%O]", "[@]"}, {"[%3u]", "[   ]"}});

    const std::string module = Format("%M");
    EXPECT_EQ(module.rfind("log_tests", 0), 0u) << module;
}

TEST_F(PatternLayoutTest, FailingPatternsWriteNothing) {
    const char* failing[] = {
        "%x",        // not a conversion letter
        "%m and %q", // the failure is found after good fields
        "%",         // no letter after "%"
        "text %",    "%-5", "%-5%",
        "%c{2", // option brace not closed
        "%d{HH:mm",
        "%\xC3\xA9", // bytes beyond ASCII are no letters
    };
    for (const char* pattern : failing) {
        PatternLayout layout(pattern);
        std::string text = "left over";
        EXPECT_FALSE(layout.format(SampleEvent(), text)) << pattern;
        EXPECT_EQ(text, "") << pattern;
    }
}

TEST_F(PatternLayoutTest, PatternCanBeReplaced) {
    PatternLayout layout("%x");
    std::string text;
    EXPECT_FALSE(layout.format(SampleEvent(), text));
    EXPECT_TRUE(layout.setParam("conversionPATTERN", "%p:%m"));
    ASSERT_TRUE(layout.format(SampleEvent(), text));
    EXPECT_EQ(text, "WARN:disk full");
    layout.setConversionPattern("%q");
    EXPECT_FALSE(layout.format(SampleEvent(), text));
    layout.setConversionPattern("[%m]");
    ASSERT_TRUE(layout.format(SampleEvent(), text));
    EXPECT_EQ(text, "[disk full]");
}

TEST_F(PatternLayoutTest, ParamsAndOutputString) {
    PatternLayout layout;
    EXPECT_STREQ(layout.className(), "PatternLayout");
    EXPECT_TRUE(layout.setParam("ConversionPattern", "%t %x")); // stored unchecked
    EXPECT_EQ(layout.getParam("conversionpattern"), "%t %x");
    EXPECT_EQ(layout.getParam("Pattern"), "");
    EXPECT_FALSE(layout.setParam("Pattern", "%m"));
    EXPECT_EQ(layout.conversionPattern(), "%t %x");

    // The caller's string is replaced, never appended to.
    layout.setConversionPattern("%m");
    std::string text(1000, 'x');
    ASSERT_TRUE(layout.format(SampleEvent(), text));
    EXPECT_EQ(text, "disk full");
}

} // namespace
