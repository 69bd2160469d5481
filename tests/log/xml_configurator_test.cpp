// The XML configuration: collecting and merging streams, the dump, applying
// it to a factory, and the configuration file's two places.
#include "common/environment.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/system_info.h"
#include "log/config/xml_configurator.h"
#include "log/log_factory.h"
#include "tests/common/scoped_environment.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// path written as an XML attribute value: the reader takes a backslash as an
// escape, so each one is doubled.
std::string XmlPathValue(const std::string& path) {
    std::string value;
    for (const char c : path) {
        if (c == '\\') value += '\\';
        value += c;
    }
    return value;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> AppenderNames(const Logger& logger) {
    std::vector<std::string> names;
    for (int i = 0; i < logger.appenderCount(); ++i) names.push_back(logger.appenderNameAt(i));
    return names;
}

TEST(XmlConfiguration, WorkedExampleDumpsAppliesAndSharesOneAppender) {
    TempDir directory;
    const std::string file = directory / "setup.log";
    const std::string text = R"(<?xml version="1.0"?>
<zorlog replace="false">
  <appender name="main" class="RollingFileAppender">
    <param name="File" value=")" +
                             XmlPathValue(file) +
                             R"("/>
    <param name="MaxFileSize" value="1000000"/>
    <priority value="Debug"/>
    <layout class="PatternLayout">
      <param name="ConversionPattern" value="%-5p %c - %m%n"/>
    </layout>
  </appender>
  <category name="setup.archive" additivity="false">
    <priority value="Warn"/>
    <appender-ref ref="main"/>
  </category>
  <root>
    <priority value="Info"/>
    <appender-ref ref="main"/>
  </root>
</zorlog>)";
    LogFactory factory;
    std::string errors;
    ASSERT_TRUE(factory.configure(text, errors, false)) << errors;

    char fileLine[512];
    std::snprintf(fileLine, sizeof fileLine, "   appender-param: %-20s value:%s", "File", file.c_str());
    EXPECT_EQ(SplitLines(factory.configurationDump()),
              (std::vector<std::string>{
                  "Loggers(2):",
                  "-----------",
                  "Logger: root, threshold:INFO, additivity:no",
                  "      appender-ref: main",
                  "Logger: setup.archive, threshold:WARN, additivity:no",
                  "      appender-ref: main",
                  "Appenders(1):",
                  "-------------",
                  "Appender name: main, class:RollingFileAppender, threshold:DEBUG, layout:PatternLayout",
                  fileLine,
                  "   appender-param: MaxFileSize          value:1000000",
                  "   layout-param  : ConversionPattern    value:%-5p %c - %m%n",
              }));

    EXPECT_EQ(factory.root().getThreshold(), LogPriority::kInfo);
    ASSERT_EQ(factory.appenderCount(), 1);
    Appender* main = factory.appenderAt(0);
    EXPECT_EQ(main->getName(), "main");
    EXPECT_EQ(main->getThreshold(), LogPriority::kDebug);
    EXPECT_EQ(main->getParam("File"), file);
    ASSERT_NE(main->getLayout(), nullptr);
    EXPECT_STREQ(main->getLayout()->className(), "PatternLayout");
    EXPECT_FALSE(main->isOpened()); // configure opens nothing
    Logger* archive = factory.findLogger("setup.archive");
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->getThreshold(), LogPriority::kWarn);
    EXPECT_FALSE(archive->getAdditivity());
    EXPECT_EQ(AppenderNames(factory.root()), std::vector<std::string>{"main"});
    EXPECT_EQ(AppenderNames(*archive), std::vector<std::string>{"main"});
    EXPECT_EQ(factory.dumpLoggers(), "Logger:Root, threshold:INFO, additivity:no\r\n"
                                     "   Appender(1):main, class:RollingFileAppender, layout:PatternLayout\r\n"
                                     "Logger:setup.archive, threshold:WARN, additivity:no\r\n"
                                     "   Appender(1):main, class:RollingFileAppender, layout:PatternLayout\r\n");

    ASSERT_TRUE(factory.startAppenders(errors)) << errors;
    archive->warn("archive damaged");
    archive->info("below the category's threshold");
    factory.root().info("root record");
    ASSERT_TRUE(factory.stopAppenders(errors)) << errors;
    EXPECT_EQ(ReadWholeFile(file), "WARN  setup.archive - archive damaged\r\nINFO  Root - root record\r\n");
}

TEST(XmlConfiguration, ActiveFalseSkipsTheStreamAndReplaceDiscardsEarlierOnes) {
    XmlConfigurator configurator;
    ASSERT_TRUE(configurator.loadStream(R"(<c><root><appender-ref ref="x"/></root><category name="a"/></c>)"));
    EXPECT_TRUE(configurator.loadStream(R"(<c active="FALSE"><root><appender-ref ref="y"/></root></c>)"));
    ASSERT_EQ(configurator.loggerConfigs().size(), 2u);
    EXPECT_EQ(configurator.loggerConfigs()[0].appenderRefs, std::vector<std::string>{"x"});

    // "no" is not "false": the stream is loaded and merged.
    EXPECT_TRUE(configurator.loadStream(R"(<c active="no"><root><appender-ref ref="y"/></root></c>)"));
    EXPECT_EQ(configurator.loggerConfigs()[0].appenderRefs, (std::vector<std::string>{"x", "y"}));

    // A replacing stream without root empties the lists, then fails.
    EXPECT_FALSE(configurator.loadStream(R"(<c replace="TRUE"><category name="b"/></c>)"));
    EXPECT_EQ(configurator.lastError(), "unable to find root configuration in XML stream");
    EXPECT_TRUE(configurator.loggerConfigs().empty());
    EXPECT_TRUE(configurator.appenderConfigs().empty());

    EXPECT_FALSE(configurator.loadStream("<c><root/><root/></c>"));
    EXPECT_EQ(configurator.lastError(), "more than one root configuration defined in XML stream");
}

TEST(XmlConfiguration, MergesByNameWithoutLetterCase) {
    XmlConfigurator configurator;
    ASSERT_TRUE(configurator.loadStream(R"(<c>
        <root/>
        <category name="Setup" additivity="false"><priority value="ERROR"/>
          <appender-ref ref="A"/><appender-ref ref="b"/><appender-ref/></category>
        <category name="setup"><appender-ref ref="B"/><appender-ref ref="c"/></category>
        <category name="ROOT"><appender-ref ref="r"/></category>
        <appender name="out" class="FileAppender"><layout class="SimpleLayout"><param name="x" value="1"/></layout>
          <param name="File" value="one"/><param name="Append"/><priority value="nonsense"/></appender>
        <appender name="OUT" class="ConsoleAppender"><param name="File" value="two"/></appender>
      </c>)"));
    const std::vector<LoggerConfig>& loggers = configurator.loggerConfigs();
    ASSERT_EQ(loggers.size(), 2u);
    // The root merged with "ROOT": its spelling, and a category's additivity.
    EXPECT_EQ(loggers[0].name, "ROOT");
    EXPECT_TRUE(loggers[0].additivity);
    EXPECT_EQ(loggers[0].appenderRefs, std::vector<std::string>{"r"});
    // The later element's threshold and additivity (their defaults), the
    // union of references with the first spelling kept.
    EXPECT_EQ(loggers[1].name, "setup");
    EXPECT_EQ(loggers[1].threshold, LogPriority::kInfo);
    EXPECT_TRUE(loggers[1].additivity);
    EXPECT_EQ(loggers[1].appenderRefs, (std::vector<std::string>{"A", "b", "c"}));

    ASSERT_EQ(configurator.appenderConfigs().size(), 1u);
    const AppenderConfig& out = configurator.appenderConfigs()[0];
    EXPECT_EQ(out.name, "OUT");
    EXPECT_EQ(out.className, "ConsoleAppender");
    EXPECT_EQ(out.threshold, LogPriority::kNotSet);
    EXPECT_EQ(out.layoutClass, ""); // the later element has no layout
    ASSERT_EQ(out.appenderParams.size(), 2u);
    EXPECT_EQ(out.appenderParams[0].value, "one");
    EXPECT_EQ(out.appenderParams[1].value, "two");
    EXPECT_EQ(out.layoutParams.size(), 1u);
    EXPECT_NE(configurator.findAppenderConfig("Out"), nullptr);
    EXPECT_NE(configurator.findLoggerConfig("SETUP"), nullptr);
    EXPECT_EQ(configurator.findLoggerConfig("setu"), nullptr);
    EXPECT_NE(configurator.dump().find("Appender name: OUT, class:ConsoleAppender, threshold:NOTSET, "
                                       "layout:[NoLayout]\r\n"),
              std::string::npos);
}

TEST(XmlConfiguration, AdditivityWalksUpTheDottedNames) {
    const std::string appenders = R"(<appender name="X" class="ConsoleAppender"/>
        <appender name="Y" class="ConsoleAppender"/><appender name="Z" class="ConsoleAppender"/>)";
    {
        LogFactory factory;
        std::string errors;
        ASSERT_TRUE(factory.configure(R"(<c><root><appender-ref ref="Z"/></root>
            <category name="a"><appender-ref ref="X"/></category>
            <category name="a.b.c"><appender-ref ref="Y"/></category>)" +
                                          appenders + "</c>",
                                      errors, false))
            << errors;
        EXPECT_EQ(AppenderNames(*factory.findLogger("a.b.c")), (std::vector<std::string>{"Y", "X", "Z"}));
        EXPECT_EQ(AppenderNames(*factory.findLogger("a")), (std::vector<std::string>{"X", "Z"}));
        EXPECT_EQ(AppenderNames(factory.root()), std::vector<std::string>{"Z"});
        EXPECT_EQ(factory.appenderCount(), 3); // each appender made once
    }
    {
        LogFactory factory;
        std::string errors;
        ASSERT_TRUE(factory.configure(R"(<c><root><appender-ref ref="Z"/></root>
            <category name="a"><appender-ref ref="X"/></category>
            <category name="a.b.c" additivity="false"><appender-ref ref="Y"/></category>)" +
                                          appenders + "</c>",
                                      errors, false));
        EXPECT_EQ(AppenderNames(*factory.findLogger("a.b.c")), std::vector<std::string>{"Y"});
    }
    {
        // Referenced at two levels: attached twice, so each record arrives twice.
        LogFactory factory;
        std::string errors;
        ASSERT_TRUE(factory.configure(R"(<c><root/>
            <category name="a"><appender-ref ref="X"/></category>
            <category name="a.b"><appender-ref ref="X"/></category>)" +
                                          appenders + "</c>",
                                      errors, false));
        EXPECT_EQ(AppenderNames(*factory.findLogger("a.b")), (std::vector<std::string>{"X", "X"}));
    }
}

TEST(XmlConfiguration, ReportsEveryProblemAsOneLine) {
    LogFactory factory;
    std::string errors;
    EXPECT_FALSE(factory.configure(R"(<c>
        <root><appender-ref ref="missing"/><appender-ref ref="bad"/></root>
        <category name="a"><appender-ref ref="bad"/></category>
        <category name="a.b"><appender-ref ref="bad"/><appender-ref ref="odd"/><appender-ref ref="nolayout"/></category>
        <appender name="bad" class="NoSuchAppender"/>
        <appender name="odd" class="ConsoleAppender"><param name="Colour" value="red"/>
          <layout class="PatternLayout"><param name="Width" value="3"/></layout></appender>
        <appender name="nolayout" class="FileAppender"><layout class="XMLLayout"/></appender>
      </c>)",
                                   errors, false));
    const std::string bad = "Unable to add appender 'bad' in factory (Appender class 'NoSuchAppender' not supported).";
    // Root first (applied first), then "a" (its own and the root's), then
    // "a.b" (its own, then "a", then the root).
    EXPECT_EQ(errors, "Unable to find 'missing' appender configuration\n" + bad + "\n" + bad +
                          "\nUnable to find 'missing' appender configuration\n" + bad + "\n" + bad +
                          "\nUnrecognized param 'Colour' for appender [class:ConsoleAppender]:odd."
                          "\nUnrecognized param 'Width' for layout 'PatternLayout'."
                          "\nUnable to add layout 'XMLLayout' for appender 'nolayout' in factory (Layout class "
                          "'XMLLayout' not supported).\n" +
                          bad + "\nUnable to find 'missing' appender configuration\n" + bad);
    // The appender with a refused parameter is still attached; the one whose
    // layout failed is made but attached nowhere.
    EXPECT_EQ(AppenderNames(*factory.findLogger("a.b")), std::vector<std::string>{"odd"});
    EXPECT_NE(factory.findAppender("nolayout"), nullptr);

    LogFactory other;
    EXPECT_TRUE(other.configure("<c><root><appender-ref ref='f'/></root><appender name='f' class='FileAppender'/></c>",
                                errors, false));
    EXPECT_FALSE(other.startAppenders(errors));
    EXPECT_EQ(errors, "Unable to start appender 'f' (unable to open file, no filename specified (Appender:f))");
}

// Values that are read but cannot be used as meant: configure's result and
// errors stay as they were, and each adds one sentence naming the element,
// its attribute and value, and where it stands.
TEST(XmlConfiguration, WarnsOfValuesItCannotUse) {
    struct Case {
        std::string inside; // the elements inside <root> and after it
        bool configured;
        std::vector<std::string> warnings;
    };
    const std::string rolling = "<appender-ref ref='r'/></root><appender name='r' class='RollingFileAppender'>";
    const std::string udp = "<appender-ref ref='u'/></root><appender name='u' class='UDPConsoleAppender'>";
    const Case cases[] = {
        {"<priority value='DEBUG'/></root><category name='net'><priority value='warn'/></category>", true, {}},
        {"<priority value='LOUD'/></root>",
         true,
         {"<priority value=\"LOUD\"> of root names no priority; the threshold stays INFO."}},
        {"</root><category name='net'><priority value='-5'/></category>"
         "<appender name='x' class='FileAppender'><priority value=''/></appender>",
         true,
         {"<priority value=\"-5\"> of category 'net' names no priority; the threshold stays INFO.",
          "<priority value=\"\"> of appender 'x' names no priority; the threshold stays NOTSET."}},
        {(rolling + "<param name='MaxFileSize' value='-1'/><param name='MaxBackupIndex' value='abc'/>"
                    "<param name='maxbackupindex' value='3'/><param name='Threshold' value='LOUD'/>"
                    "<param name='BufferSize' value='64k'/><param name='FlushPriority' value='loud'/></appender>"),
         false,
         {"<param name=\"MaxFileSize\" value=\"-1\"> of appender 'r' is below 1.",
          "<param name=\"MaxBackupIndex\" value=\"abc\"> of appender 'r' is not a whole number.",
          "<param name=\"Threshold\" value=\"LOUD\"> of appender 'r' names no priority.",
          "<param name=\"BufferSize\" value=\"64k\"> of appender 'r' is not a whole number.",
          "<param name=\"FlushPriority\" value=\"loud\"> of appender 'r' names no priority."}},
        {(udp + "<param name='port' value='70000'/><param name='Port' value=' 5000 '/>"
                "<layout class='PatternLayout'><param name='ConversionPattern' value='%d{%H:%M %m%n'/></layout>"
                "</appender>"),
         false,
         {"<param name=\"port\" value=\"70000\"> of appender 'u' is above 65535.",
          "<param name=\"ConversionPattern\" value=\"%d{%H:%M %m%n\"> of the layout of appender 'u' has an "
          "option brace that is not closed, so no record is written."}},
        {(udp + "<layout class='PatternLayout'><param name='ConversionPattern' value='%m %'/>"
                "<param name='ConversionPattern' value='%q %m'/></layout></appender>"),
         true,
         {"<param name=\"ConversionPattern\" value=\"%m %\"> of the layout of appender 'u' has a \"%\" followed "
          "by no conversion letter, so no record is written.",
          "<param name=\"ConversionPattern\" value=\"%q %m\"> of the layout of appender 'u' has the unknown "
          "conversion letter 'q', so no record is written."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.inside);
        LogFactory factory;
        std::string errors;
        EXPECT_EQ(factory.configure("<c><root>" + c.inside + "</c>", errors, false), c.configured) << errors;
        EXPECT_EQ(factory.configurationWarnings(), c.warnings);
    }
    // The values still mean what they always did: the threshold stays.
    LogFactory factory;
    std::string errors;
    factory.configure("<c><root><priority value='LOUD'/></root></c>", errors, false);
    EXPECT_EQ(factory.root().getThreshold(), LogPriority::kInfo);
    // A later configure starts a new list.
    factory.configure("<c><root/></c>", errors, false);
    EXPECT_TRUE(factory.configurationWarnings().empty());
}

TEST(XmlConfiguration, StreamsThatDoNotLoad) {
    LogFactory factory;
    std::string errors;
    EXPECT_FALSE(factory.configure("", errors, false));
    EXPECT_EQ(errors, "unable to load configuration [XMLStream1] (Load XML file stream:XML open tag not found)");
    EXPECT_FALSE(factory.configure("<a><b></c></a>", errors, false));
    EXPECT_EQ(errors, "unable to load configuration [XMLStream1] (Load XML file stream:'<b> ... </c>' is not "
                      "wel-formed.)");
    // Each stream reports its own error, not one left over from an earlier parse.
    EXPECT_FALSE(factory.configure("<c><!-- cut", errors, false));
    EXPECT_EQ(errors, "unable to load configuration [XMLStream1] (Load XML file stream:XML text ends inside a "
                      "comment)");
    EXPECT_EQ(factory.configurationDump(), ""); // nothing got past a first stream

    // Backslashes escape the next character: doubled, they stay one.
    ASSERT_TRUE(factory.configure(R"(<c><root/>
        <appender name="d" class="FileAppender"><param name="File" value="C:\\Logs\\app.log"/></appender>
        <appender name="s" class="FileAppender"><param name="File" value="C:\Logs\app.log"/></appender>
        <category name="x"><appender-ref ref="d"/><appender-ref ref="s"/></category></c>)",
                                  errors, false))
        << errors;
    EXPECT_EQ(factory.findAppender("d")->getParam("File"), "C:\\Logs\\app.log");
    EXPECT_EQ(factory.findAppender("s")->getParam("File"), "C:Logsapp.log");
}

TEST(XmlConfiguration, ConfiguringAgainReusesWhatExistsWhileAppendersRun) {
    TempDir directory;
    const std::string first = directory / "first.log";
    const std::string second = directory / "second.log";
    const auto configuration = [&](bool withSecond) {
        std::string text = R"(<c><root><appender-ref ref="one"/></root>
            <appender name="one" class="FileAppender"><param name="File" value=")" +
                           XmlPathValue(first) + R"("/><layout class="SimpleLayout"/></appender>)";
        if (withSecond)
            text += R"(<category name="app"><appender-ref ref="two"/></category>
                <appender name="two" class="FileAppender"><param name="File" value=")" +
                    XmlPathValue(second) + R"("/><layout class="SimpleLayout"/></appender>)";
        return text + "</c>";
    };
    auto factory = std::make_unique<LogFactory>();
    std::string errors;
    ASSERT_TRUE(factory->configure(configuration(false), errors, false)) << errors;
    ASSERT_TRUE(factory->startAppenders(errors)) << errors;
    Logger* app = factory->getLogger("app");
    app->info("before");

    // Again, with the first appender open and a logger already holding it:
    // "one" is found and kept as it is (still open, same layout), "two" is new.
    Appender* one = factory->findAppender("one");
    const Layout* oneLayout = one->getLayout();
    ASSERT_TRUE(factory->configure(configuration(true), errors, false)) << errors;
    EXPECT_EQ(factory->findAppender("one"), one);
    EXPECT_EQ(one->getLayout(), oneLayout);
    EXPECT_TRUE(one->isOpened());
    EXPECT_EQ(factory->appenderCount(), 2);
    // Starting again leaves the running appender running.
    ASSERT_TRUE(factory->startAppenders(errors)) << errors;
    EXPECT_TRUE(one->isOpened());
    app->info("after");
    factory.reset();
    // "app" existed: it keeps its appender and gains the configured one and,
    // by additivity, the root's again.
    EXPECT_EQ(ReadWholeFile(first), "INFO - before\r\nINFO - after\r\nINFO - after\r\n");
    EXPECT_EQ(ReadWholeFile(second), "INFO - after\r\n");
}

TEST(XmlConfiguration, ManyDottedComponentsNeitherRecurseNorCrawl) {
    std::string name = "n";
    for (int i = 0; i < 100000; ++i) name += ".n";
    LogFactory factory;
    std::string errors;
    ASSERT_TRUE(factory.configure("<c><root><appender-ref ref='z'/></root><category name='" + name +
                                      "'><appender-ref ref='z'/></category><appender name='z' "
                                      "class='ConsoleAppender'/></c>",
                                  errors, false))
        << errors;
    EXPECT_EQ(factory.findLogger(name)->appenderCount(), 2);
}

TEST(XmlConfiguration, FileCandidatesAreTheProfileThenTheProgramsDirectory) {
    const std::string base = GetPathPart(GetModulePath(), kPathBaseName);
    TempDir profile;
    {
        ScopedEnvironment environment("USERPROFILE", profile.path().c_str());
        const std::vector<std::string> candidates = ConfigurationFileCandidates();
        ASSERT_EQ(candidates.size(), 2u);
        EXPECT_EQ(candidates[0], profile / (base + ".zorlog.xml"));
        EXPECT_EQ(candidates[1], BuildPath(GetModuleDirectory(), base, "zorlog.xml"));
    }
    ScopedEnvironment unset("USERPROFILE", nullptr);
    EXPECT_EQ(ConfigurationFileCandidates()[0], std::string(1, PathSeparator()) + base + ".zorlog.xml");
}

TEST(XmlConfiguration, ReadsTheFileFromTheProfileElseBesideTheProgram) {
    const std::string base = GetPathPart(GetModulePath(), kPathBaseName);
    const std::string besideProgram = BuildPath(GetModuleDirectory(), base, "zorlog.xml");
    ASSERT_FALSE(FileExists(besideProgram)) << "a left-over " << besideProgram;
    TempDir profile;
    ScopedEnvironment environment("USERPROFILE", profile.path().c_str());
    const std::string first = "<c><root/><category name='first'/></c>";

    {
        profile.WriteFile(base + ".zorlog.xml", "<c><root/><category name='from.profile'/></c>");
        LogFactory factory;
        std::string errors;
        ASSERT_TRUE(factory.configure(first, errors, true)) << errors;
        EXPECT_NE(factory.findLogger("from.profile"), nullptr);
        EXPECT_NE(factory.findLogger("first"), nullptr);
        // Without the search flag the file is not read.
        LogFactory other;
        ASSERT_TRUE(other.configure(first, errors, false));
        EXPECT_EQ(other.findLogger("from.profile"), nullptr);
        DeleteFileAt(profile / (base + ".zorlog.xml"));
    }
    {
        // Removes the file beside the program whatever happens.
        struct Remove {
            std::string path;
            ~Remove() { DeleteFileAt(path); }
        } remove{besideProgram};
        FILE* file = std::fopen(besideProgram.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("<c replace='true'><root/><category name='beside.program'/></c>", file);
        std::fclose(file);
        LogFactory factory;
        std::string errors;
        ASSERT_TRUE(factory.configure(first, errors, true)) << errors;
        EXPECT_NE(factory.findLogger("beside.program"), nullptr);
        EXPECT_EQ(factory.findLogger("first"), nullptr); // replaced

        // An empty first text fails although the file would load.
        EXPECT_FALSE(factory.configure("", errors, true));
        EXPECT_EQ(errors, "unable to load configuration [XMLStream1] (Load XML file stream:XML open tag not found)");

        // A replacing file without root leaves nothing to apply.
        std::FILE* broken = std::fopen(besideProgram.c_str(), "wb");
        ASSERT_NE(broken, nullptr);
        std::fputs("<c replace='true'><category name='orphan'/></c>", broken);
        std::fclose(broken);
        LogFactory replaced;
        EXPECT_FALSE(replaced.configure(first, errors, true));
        EXPECT_EQ(errors,
                  "unable to load configuration [XMLStream2] (unable to find root configuration in XML stream)");
        EXPECT_EQ(replaced.configurationDump(), "Loggers(0):\r\n-----------\r\nAppenders(0):\r\n-------------\r\n");
        EXPECT_EQ(replaced.loggerCount(), 0);
    }
}

} // namespace
