#include "log/layouts/basic_layouts.h"
#include "log/layouts/csv_layout.h"
#include "log/layouts/html_layout.h"

#include "fixed_log_clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

LoggingEvent SampleEvent() {
    LoggingEvent event;
    event.message = "disk full";
    event.categoryName = "com.zor";
    event.priority = LogPriority::kWarn;
    event.elapsedMs = 42;
    return event;
}

std::string Formatted(const Layout& layout, const LoggingEvent& event) {
    std::string text = "left over";
    EXPECT_TRUE(layout.format(event, text)) << layout.className();
    return text;
}

TEST(FixedLayouts, RecordsAndNames) {
    LoggingEvent forced = SampleEvent();
    forced.priority = LogPriority::kForce;
    const struct {
        std::unique_ptr<Layout> layout;
        const char* className;
        const char* sample; // SampleEvent()
        const char* forced; // the same at priority 9998, whose name is empty
        const char* fresh;  // a LoggingEvent with every default
    } cases[] = {
        {std::make_unique<BasicLayout>(), "BasicLayout", "disk full\r\n", "disk full\r\n", "[MessageNotSet]\r\n"},
        {std::make_unique<SimpleLayout>(), "SimpleLayout", "WARN - disk full\r\n", " - disk full\r\n",
         "NOTSET - [MessageNotSet]\r\n"},
        {std::make_unique<NullLayout>(), "NullLayout", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(c.layout->className(), c.className);
        EXPECT_EQ(Formatted(*c.layout, SampleEvent()), c.sample) << c.className;
        EXPECT_EQ(Formatted(*c.layout, forced), c.forced) << c.className;
        EXPECT_EQ(Formatted(*c.layout, LoggingEvent()), c.fresh) << c.className;
    }
}

TEST(FixedLayouts, NoParamsHeaderOrFooter) {
    BasicLayout basic;
    SimpleLayout simple;
    NullLayout null;
    for (Layout* layout : {static_cast<Layout*>(&basic), static_cast<Layout*>(&simple), static_cast<Layout*>(&null)}) {
        EXPECT_FALSE(layout->setParam("ConversionPattern", "%m")) << layout->className();
        EXPECT_EQ(layout->getParam("ConversionPattern"), "");
        std::string text = "left over";
        EXPECT_FALSE(layout->header(text, "FileAppender", "main"));
        EXPECT_EQ(text, "");
        text = "left over";
        EXPECT_FALSE(layout->footer(text, "FileAppender", "main"));
        EXPECT_EQ(text, "");
    }
}

TEST(CSVLayoutTest, FormatsLikeItsPatternWithAnOptionalHeaderLine) {
    CSVLayout layout;
    EXPECT_STREQ(layout.className(), "CSVLayout");
    EXPECT_EQ(Formatted(layout, SampleEvent()), "WARN  - disk full\r\n"); // the default pattern

    std::string text = "left over";
    EXPECT_FALSE(layout.header(text, "FileAppender", "main")); // no header set
    EXPECT_EQ(text, "");

    EXPECT_TRUE(layout.setParam("conversionpattern", "%r;%p;\"%m\"%n"));
    EXPECT_TRUE(layout.setParam("HEADER", "Elapsed;Level;Message"));
    EXPECT_FALSE(layout.setParam("Title", "x"));
    EXPECT_EQ(Formatted(layout, SampleEvent()), "42;WARN;\"disk full\"\r\n");
    ASSERT_TRUE(layout.header(text, "FileAppender", "main"));
    EXPECT_EQ(text, "Elapsed;Level;Message\r\n");
    EXPECT_FALSE(layout.footer(text, "FileAppender", "main"));
    EXPECT_EQ(text, "");

    // It reports none of its settings.
    for (const char* name : {"ConversionPattern", "Header", "Title"}) EXPECT_EQ(layout.getParam(name), "") << name;

    EXPECT_TRUE(layout.setParam("ConversionPattern", "%x"));
    EXPECT_FALSE(layout.format(SampleEvent(), text));
}

class HTMLLayoutTest : public ::testing::Test {
protected:
    FixedLogClock clock_{kSampleTime};
};

constexpr char kHeadAfterTitle[] =
    "<style type=\"text/css\">"
    "body,table,td,div {font-family:Verdana, Arial, sans-serif; font-size:10pt; background-color:#ece9d8;  }\n"
    "a:link {color:#4040C0; text-decoration:underline;  }\n"
    "a:visited {color:#4040C0; text-decoration:underline;  }\n"
    "a:hover {color:#C0C000; text-decoration:underline;  }\n"
    "table {border-collapse:collapse; border-color:#C0C0C0; border:solid 1 px;  }\n"
    "th {font-size:12pt; color:#3232a0; background-color:#f2f3f4; border:solid 1px; padding:2 px; margin-left:4 px; "
    "margin-top:2 px; margin-bottom:2 px;  }\n"
    "td {border:solid 1px; padding:2 px; margin-left:4 px; margin-top:2 px; margin-bottom:2 px;  }\n"
    "</style></head><body topmargin=6 leftmargin=6 ><hr size=2 noshade>"
    "Appender FileAppender:main - Log session start time 2010-05-09 07:36:04,123"
    "<br><br>E:means Ellapsed time<br><br>"
    "<table cellspacing=0 cellpadding=4 border=1 bordercolor=#224466 width=\"100%\"><tr><th>E</th><th>Date</th>"
    "<th>Logger</th><th>Level</th><th>Message</th></tr>\n";

TEST_F(HTMLLayoutTest, HeadNamesTheAppenderWhileTheTitleIsTheDefault) {
    HTMLLayout layout;
    EXPECT_STREQ(layout.className(), "HTMLLayout");
    EXPECT_EQ(layout.getParam("title"), "ZorLog logging report");
    std::string text;
    ASSERT_TRUE(layout.header(text, "FileAppender", "main"));
    EXPECT_EQ(text, std::string("<html><head><title>HTML layout FileAppender:main log messages report</title>") +
                        kHeadAfterTitle);
}

TEST_F(HTMLLayoutTest, TitleRule) {
    const struct {
        const char* title;
        const char* written;
    } cases[] = {
        {"Install report", "Install report"},
        {"zorlog logging report", "zorlog logging report"}, // only the exact default is replaced
        {"", ""},
        {"ZorLog logging report", "HTML layout FileAppender:main log messages report"},
    };
    for (const auto& c : cases) {
        HTMLLayout layout;
        EXPECT_TRUE(layout.setParam("TITLE", c.title));
        EXPECT_EQ(layout.getParam("Title"), c.title);
        std::string text;
        ASSERT_TRUE(layout.header(text, "FileAppender", "main"));
        EXPECT_EQ(text, std::string("<html><head><title>") + c.written + "</title>" + kHeadAfterTitle) << c.title;
    }
    HTMLLayout layout;
    EXPECT_FALSE(layout.setParam("ConversionPattern", "%m"));
    EXPECT_EQ(layout.getParam("ConversionPattern"), "");
}

TEST_F(HTMLLayoutTest, RowAndPageEnd) {
    HTMLLayout layout;
    EXPECT_EQ(Formatted(layout, SampleEvent()), "<tr><td>42</td><td>2010-05-09 07:36:04,123</td><td>com.zor</td><td>"
                                                "<font color=\"Yellow\">WARN</font></td><td>disk full</td>\n");
    std::string text;
    ASSERT_TRUE(layout.footer(text, "FileAppender", "main"));
    EXPECT_EQ(text, "</table><br>Appender FileAppender:main - Log session end time 2010-05-09 07:36:04,123"
                    "<hr size=2 noshade></body></html>\n");
}

TEST_F(HTMLLayoutTest, PriorityColours) {
    const struct {
        Priority priority;
        const char* font;
    } cases[] = {
        {LogPriority::kFatal, "<font color=\"Magenta\">FATAL</font>"},
        {LogPriority::kAlert, "<font color=\"Black\">ALERT</font>"},
        {LogPriority::kCritical, "<font color=\"Black\">CRITICAL</font>"},
        {LogPriority::kError, "<font color=\"Red\">ERROR</font>"},
        {LogPriority::kWarn, "<font color=\"Yellow\">WARN</font>"},
        {LogPriority::kNotice, "<font color=\"Black\">NOTICE</font>"},
        {LogPriority::kInfo, "<font color=\"Black\">INFO</font>"},
        {LogPriority::kDebug, "<font color=\"Green\">DEBUG</font>"},
        {LogPriority::kTrace, "<font color=\"Black\">TRACE</font>"},
        {LogPriority::kForce, "<font color=\"Black\"></font>"},
        {301, "<font color=\"Black\">Unconditional</font>"},
    };
    HTMLLayout layout;
    for (const auto& c : cases) {
        LoggingEvent event = SampleEvent();
        event.priority = c.priority;
        EXPECT_NE(Formatted(layout, event).find(c.font), std::string::npos) << c.priority;
    }
}

TEST_F(HTMLLayoutTest, RecordTextsAreEscaped) {
    HTMLLayout layout;
    LoggingEvent event = SampleEvent();
    event.message = "<script>alert(\"x\")</script> & co";
    event.categoryName = "a<b>&\"c\"";
    EXPECT_EQ(Formatted(layout, event),
              "<tr><td>42</td><td>2010-05-09 07:36:04,123</td><td>a&lt;b&gt;&amp;&quot;c&quot;"
              "</td><td><font color=\"Yellow\">WARN</font></td><td>"
              "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; co</td>\n");
    // Configuration texts are written as given.
    EXPECT_TRUE(layout.setParam("Title", "<b>Setup</b>"));
    std::string text;
    ASSERT_TRUE(layout.header(text, "FileAppender", "x&y"));
    EXPECT_EQ(text.rfind("<html><head><title><b>Setup</b></title>", 0), 0u);
    EXPECT_NE(text.find("Appender FileAppender:x&y - Log"), std::string::npos);
}

} // namespace
