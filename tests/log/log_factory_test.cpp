#include "common/text_utils.h"
#include "log/log_factory.h"
#include "recording_appender.h"
#include "tests/common/temp_dir.h"
#include "tests/support/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

TEST(GetLogger, ParentResolution) {
    // The new logger's threshold tells which existing logger was its parent;
    // the root is at 650.
    const std::pair<const char*, Priority> cases[] = {
        {"a.b.c", 100}, {"A.B.C", 100}, {"a..b", 150}, {"a...b", 150}, {".a", 650},  {"x.y.z.w", 200},
        {"x", 650},     {"Root", 650},  {"", 650},     {"a", 100},     {"X.Y", 200},
    };
    for (const auto& [requested, inherited] : cases) {
        LogFactory factory;
        factory.root().setThreshold(650);
        factory.createLogger("a", 100, true);
        factory.createLogger("a.", 150, true);
        factory.createLogger("x.y", 200, true);
        Logger* logger = factory.getLogger(requested);
        EXPECT_EQ(logger->getThreshold(), inherited) << '"' << requested << '"';
        const bool existed = std::string(requested) == "a" || std::string(requested) == "X.Y";
        EXPECT_EQ(factory.loggerCount(), existed ? 3 : 4) << requested; // no intermediate loggers
        EXPECT_EQ(factory.getLogger(requested), logger);
    }
}

TEST(GetLogger, ChildrenCopyTheirParentAtCreationOnly) {
    RecordingAppender first("first", 900), second("second", 900);
    LogFactory factory;
    factory.root().addAppender(&first);
    Logger* a = factory.getLogger("a"); // child of the root
    EXPECT_EQ(a->getThreshold(), 600);
    a->setAdditivity(false);
    Logger* abc = factory.getLogger("a.b.c");
    a->setThreshold(300);
    a->addAppender(&second);
    Logger* ab = factory.getLogger("a.b");

    EXPECT_EQ(abc->getThreshold(), 600);
    EXPECT_FALSE(abc->getAdditivity());
    EXPECT_EQ(abc->appenderCount(), 1);
    EXPECT_EQ(ab->getThreshold(), 300);
    EXPECT_EQ(ab->appenderAt(1), &second);

    Logger* created = factory.createLogger("a.b.d", 800, true); // no parent, no appenders
    EXPECT_EQ(created->appenderCount(), 0);
    EXPECT_EQ(factory.lastError(), "Logger 'a.b.d' not found in factory");
    EXPECT_EQ(factory.createLogger("A.B.D", 100, false), created);
    EXPECT_EQ(created->getThreshold(), 800);
    EXPECT_TRUE(created->getAdditivity());
}

TEST(FactoryLoggers, FindRemoveIndexAndPrefix) {
    LogFactory factory;
    Logger* a = factory.createLogger("com.zor.a", 600, true);
    Logger* b = factory.createLogger("COM.ZOR.b", 300, true);
    Logger* c = factory.createLogger("com.zorx", 600, true);
    Logger* d = factory.createLogger("org.zor", 600, true);
    factory.setThresholdByPrefix("com.zor", 800);
    EXPECT_EQ(a->getThreshold() + b->getThreshold() + c->getThreshold() + d->getThreshold(), 800 * 3 + 600);
    factory.setThresholdByPrefix("", 100);
    EXPECT_EQ(factory.root().getThreshold(), 600);

    EXPECT_EQ(factory.findLogger("COM.zor.B"), b);
    EXPECT_EQ(factory.findLogger("missing"), nullptr);
    EXPECT_EQ(factory.lastError(), "Logger 'missing' not found in factory");
    EXPECT_TRUE(factory.removeLogger("com.ZOR.a"));
    EXPECT_FALSE(factory.removeLogger("com.zor.a"));
    EXPECT_EQ(factory.lastError(), "Logger 'com.zor.a' not found in factory");
    ASSERT_EQ(factory.loggerCount(), 3);
    EXPECT_EQ(factory.loggerAt(0), b);
    EXPECT_EQ(factory.loggerAt(2), d);
    for (int index : {-1, 3}) EXPECT_EQ(factory.loggerAt(index), &factory.root());
    EXPECT_EQ(factory.root().getName(), "Root");
}

TEST(FactoryAppenders, AddFindRemoveAndTheDefaultAppender) {
    RecordingAppender first("dup", 900), same("DUP", 900), other("other", 900), failing("bad", 900, true);
    LogFactory factory;
    EXPECT_EQ(factory.addAppender(&first, false), &first);
    EXPECT_FALSE(first.isOpened());
    EXPECT_EQ(factory.addAppender(&same, true), &first); // the first of a name stays
    EXPECT_FALSE(same.isOpened());
    EXPECT_EQ(factory.addAppender(&other, true), &other);
    EXPECT_TRUE(other.isOpened());
    EXPECT_EQ(factory.addAppender(&failing, true), &failing);
    EXPECT_FALSE(failing.isOpened());
    EXPECT_EQ(factory.appenderCount(), 3);
    EXPECT_EQ(factory.findAppender("Dup"), &first);
    EXPECT_EQ(factory.findAppender("none"), nullptr);

    Appender* fallback = factory.findAppenderOrDefault("none");
    EXPECT_EQ(fallback->getName(), "[NoAppenderName]");
    EXPECT_EQ(fallback->getThreshold(), 900);
    EXPECT_EQ(factory.appenderAt(3), fallback);
    EXPECT_EQ(factory.appenderAt(-1), fallback);

    EXPECT_TRUE(factory.removeAppender(&other));
    EXPECT_TRUE(factory.removeAppender(&failing));
    EXPECT_TRUE(other.isOpened()); // not closed
    EXPECT_FALSE(factory.removeAppender(&other));
    EXPECT_EQ(factory.lastError(), "Appender 'other' not found in factory");
    EXPECT_EQ(factory.createAppender("FileAppender", "DUP", 100), &first); // existing name, any class
    EXPECT_EQ(first.getThreshold(), 900);
}

TEST(FactoryCreate, BuildsTheKnownClassesByNameInAnyCase) {
    LogFactory factory;
    const struct {
        const char* asked;
        const char* className;
    } appenders[] = {
        {"fileappender", "FileAppender"},
        {"DAILYFILEAPPENDER", "DailyFileAppender"},
        {"DailyRollingFileAppender", "DailyRollingFileAppender"},
        {"RollingFileAppender", "RollingFileAppender"},
        {"consoleappender", "ConsoleAppender"},
        {"SlowResourceAppender", "SlowResourceAppender"},
        {"WIN32DEBUGAPPENDER", "Win32DebugAppender"},
        {"EventLogAppender", "EventLogAppender"},
        {"udpconsoleappender", "UDPConsoleAppender"},
        {"UDPConsoleColorAppender", "UDPConsoleColorAppender"},
#ifdef _WIN32
        {"EditWindowAppender", "EditWindowAppender"},
#endif
    };
    int index = 0;
    for (const auto& c : appenders) {
        const std::string name = "a" + std::to_string(index++);
        Appender* appender = factory.createAppender(c.asked, name, 300);
        ASSERT_NE(appender, nullptr) << c.asked;
        EXPECT_STREQ(appender->className(), c.className);
        EXPECT_EQ(appender->getName(), name);
        EXPECT_EQ(appender->getThreshold(), 300);
        EXPECT_FALSE(appender->isOpened()); // created closed
        EXPECT_TRUE(factory.ownsAppender(appender));
    }
    EXPECT_EQ(factory.appenderCount(), index);
    for (const char* name : {"basiclayout", "CSVLayout", "HTMLLAYOUT", "NullLayout", "PatternLayout", "SimpleLayout"}) {
        Layout* first = factory.createLayout(name);
        ASSERT_NE(first, nullptr) << name;
        EXPECT_TRUE(EqualsIgnoringCase(first->className(), name));
        EXPECT_NE(factory.createLayout(name), first); // a new object every time
    }
}

TEST(FactoryCreate, UnbuiltAndUnknownClassesAreNotSupported) {
    LogFactory factory;
    // The edit-window target needs windows; the POSIX build has none.
    for (const char* name : {"NullAppender", "SkeletonAppender",
#ifndef _WIN32
                             "EditWindowAppender",
#endif
                             "File Appender", "%s%n"}) {
        EXPECT_EQ(factory.createAppender(name, "a", 900), nullptr) << name;
        EXPECT_EQ(factory.lastError(), std::string("Appender class '") + name + "' not supported");
    }
    for (const char* name : {"SkeletonLayout", "XMLLayout", ""}) {
        EXPECT_EQ(factory.createLayout(name), nullptr) << name;
        EXPECT_EQ(factory.lastError(), std::string("Layout class '") + name + "' not supported");
    }
    EXPECT_EQ(factory.appenderCount(), 0);
    factory.findLogger(std::string(100000, 'n'));
    EXPECT_EQ(factory.lastError().size(), LogFactory::kErrorBufferSize - 1);
}

class WatchedAppender : public RecordingAppender {
public:
    WatchedAppender(bool* destroyed) : RecordingAppender("owned", 900), destroyed_(destroyed) {}
    ~WatchedAppender() override { *destroyed_ = true; }

private:
    bool* destroyed_;
};

TEST(FactoryShutdown, StopsClosesOnceAndDeletesOnlyOwnedAppenders) {
    FramingLayout layout;
    RecordingAppender kept("kept", 900), failing("failing", 900, true);
    kept.setLayout(&layout);
    bool ownedDestroyed = false;
    auto factory = std::make_unique<LogFactory>();
    for (Appender* appender : {static_cast<Appender*>(&kept), static_cast<Appender*>(&failing)})
        factory->addAppender(appender, true);
    Appender* owned = factory->addAppender(std::make_unique<WatchedAppender>(&ownedDestroyed), true);
    EXPECT_TRUE(factory->ownsAppender(owned));
    EXPECT_FALSE(factory->ownsAppender(&kept));
    EXPECT_EQ(factory->appenderAt(2), owned);
    factory->getLogger("a")->addAppender(&kept);
    std::string error;
    EXPECT_FALSE(factory->stopAppenders(error));
    EXPECT_EQ(error, "Unable to stop appender 'failing' (cannot close)");
    EXPECT_TRUE(kept.start(error)); // started again: stopped once more at shutdown

    factory.reset();
    EXPECT_TRUE(ownedDestroyed);
    EXPECT_FALSE(kept.isOpened());
    EXPECT_FALSE(failing.isOpened());
    EXPECT_EQ(failing.closeCalls, 3); // stopped twice, then closed finally
    EXPECT_EQ(kept.texts.back(), "foot:RecordingAppender:kept");
    EXPECT_EQ(kept.texts.size(), 4u); // a footer per stop, no second footer from the final close
}

TEST(LogFactory, ProcessFactory) {
    LogFactory& factory = LogFactory::instance();
    EXPECT_EQ(&factory, &LogFactory::instance());
    EXPECT_EQ(factory.root().getName(), "Root");
    EXPECT_EQ(factory.getLogger("com.zor.tests")->getThreshold(), factory.root().getThreshold());
}

// However a program ends, the records its file targets buffered reach the
// file: at the end of main and at exit() through the process-wide factory's
// destruction, at an uncaught exception through its std::terminate handler,
// which then hands over to the handler before it (the runtime's, which
// prints the exception).
TEST(LogFactoryExit, BufferedRecordsReachTheFileHoweverTheProgramEnds) {
    TempDir dir;
    for (const char* mode : {"return", "exit", "throw"}) {
        const std::string file = dir / (std::string(mode) + ".log");
        ChildProcess probe;
        ASSERT_TRUE(probe.Start(ProgramBesideTests("buffered_exit_probe"), {mode, file}, dir / "out", dir / "err"));
        const int code = probe.Wait(std::chrono::seconds(60));
        EXPECT_EQ(ReadWholeFile(file), "one\ntwo\nthree\n") << mode;
        if (std::string(mode) == "throw") {
            EXPECT_TRUE(code != 0 && code != 4) << code;
            EXPECT_NE(ReadMessages(dir / "err").find("nobody catches this"), std::string::npos);
        } else {
            EXPECT_EQ(code, std::string(mode) == "exit" ? 4 : 0);
        }
    }
}

} // namespace
