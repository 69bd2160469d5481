// The framework used as the README shows it: appenders and layouts made by
// class name, a rolling file and an HTML report, loggers that take their
// appenders from the root, and a shutdown that closes every file.
#include "common/path.h"
#include "log/log_factory.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(LoggingUsage, RollingFileAndHtmlReportThroughTheFactory) {
    TempDir dir;
    const std::string logs = BuildPath(dir.path(), "logs", nullptr); // created on open
    auto factory = std::make_unique<LogFactory>();

    Layout* pattern = factory->createLayout("PatternLayout");
    pattern->setParam("ConversionPattern", "%-5p %c{1} - %m%n");
    Appender* rolling = factory->createAppender("RollingFileAppender", "main", LogPriority::kAll);
    rolling->setParam("File", BuildPath(logs, "app.log", nullptr));
    rolling->setParam("MaxFileSize", "1048576");
    rolling->setParam("MaxBackupIndex", "5");
    rolling->setLayout(pattern);

    Appender* report = factory->createAppender("FileAppender", "report", LogPriority::kWarn);
    report->setParam("File", BuildPath(logs, "report.html", nullptr));
    report->setParam("Append", "false");
    report->setLayout(factory->createLayout("HTMLLayout"));

    std::string error;
    for (Appender* appender : {rolling, report}) ASSERT_TRUE(appender->start(error)) << error;
    factory->root().addAppender(rolling);
    factory->root().addAppender(report);

    Logger* log = factory->getLogger("myapp.setup"); // takes the root's appenders now
    log->info("started");
    log->warnFormat("disk %s is %d%% full", "C:", 93);
    log->error("cannot open <settings.xml> & co");
    factory.reset(); // closes both files: the report gets its end

    EXPECT_EQ(ReadWholeFile(BuildPath(logs, "app.log", nullptr)),
              "INFO  setup - started\r\nWARN  setup - disk C: is 93% full\r\n"
              "ERROR setup - cannot open <settings.xml> & co\r\n");
    const std::string html = ReadWholeFile(BuildPath(logs, "report.html", nullptr));
    EXPECT_EQ(html.rfind("<html><head><title>HTML layout FileAppender:report log messages report</title>", 0), 0u);
    EXPECT_EQ(html.find("started"), std::string::npos); // below the report's threshold
    EXPECT_NE(html.find(">WARN</font></td><td>disk C: is 93% full</td>"), std::string::npos);
    EXPECT_NE(html.find("cannot open &lt;settings.xml&gt; &amp; co"), std::string::npos);
    const std::string end = "<hr size=2 noshade></body></html>\n";
    ASSERT_GT(html.size(), end.size());
    EXPECT_EQ(html.substr(html.size() - end.size()), end);
}

} // namespace
