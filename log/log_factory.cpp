#include "log/log_factory.h"

#include "common/text_utils.h"
#include "log/appenders/console_appender.h"
#include "log/appenders/daily_file_appender.h"
#include "log/appenders/daily_rolling_file_appender.h"
#include "log/appenders/event_log_appender.h"
#include "log/appenders/file_appender.h"
#include "log/appenders/rolling_file_appender.h"
#include "log/appenders/slow_resource_appender.h"
#include "log/appenders/udp_console_color_appender.h"
#include "log/appenders/win32_debug_appender.h"
#include "log/config/xml_configurator.h"
#include "log/layouts/basic_layouts.h"
#include "log/layouts/csv_layout.h"
#include "log/layouts/html_layout.h"
#include "log/layouts/pattern_layout.h"
#include "log/terminate_flush.h"
#ifdef _WIN32
#include "log/appenders/edit_window_appender.h"
#endif

#include <algorithm>

namespace {

// The class names createAppender and createLayout recognise, with the
// function that builds each. A class without a function is answered as not
// supported.
using AppenderMaker = std::unique_ptr<Appender> (*)(const std::string& name, Priority threshold);
using LayoutMaker = std::unique_ptr<Layout> (*)();

template <class Class>
std::unique_ptr<Appender> MakeAppender(const std::string& name, Priority threshold) {
    return std::make_unique<Class>(name, threshold);
}

template <class Class>
std::unique_ptr<Layout> MakeLayout() {
    return std::make_unique<Class>();
}

struct AppenderClass {
    const char* name;
    AppenderMaker make;
};

struct LayoutClass {
    const char* name;
    LayoutMaker make;
};

constexpr AppenderClass kAppenderClasses[] = {
    {"ConsoleAppender", &MakeAppender<ConsoleAppender>},
    {"DailyFileAppender", &MakeAppender<DailyFileAppender>},
    {"DailyRollingFileAppender", &MakeAppender<DailyRollingFileAppender>},
#ifdef _WIN32
    {"EditWindowAppender", &MakeAppender<EditWindowAppender>},
#else
    {"EditWindowAppender", nullptr},
#endif
    {"EventLogAppender", &MakeAppender<EventLogAppender>},
    {"FileAppender", &MakeAppender<FileAppender>},
    {"RollingFileAppender", &MakeAppender<RollingFileAppender>},
    {"SlowResourceAppender", &MakeAppender<SlowResourceAppender>},
    {"UDPConsoleAppender", &MakeAppender<UDPConsoleAppender>},
    {"UDPConsoleColorAppender", &MakeAppender<UDPConsoleColorAppender>},
    {"Win32DebugAppender", &MakeAppender<Win32DebugAppender>},
};

constexpr LayoutClass kLayoutClasses[] = {
    {"BasicLayout", &MakeLayout<BasicLayout>},     {"CSVLayout", &MakeLayout<CSVLayout>},
    {"HTMLLayout", &MakeLayout<HTMLLayout>},       {"NullLayout", &MakeLayout<NullLayout>},
    {"PatternLayout", &MakeLayout<PatternLayout>}, {"SimpleLayout", &MakeLayout<SimpleLayout>},
};

// The name with its last "."-separated component dropped; empty for a name
// without ".". "a..b" gives "a." and ".a" gives "".
std::string ParentLoggerName(std::string_view name) {
    const std::size_t lastDot = name.rfind('.');
    return std::string(lastDot == std::string_view::npos ? std::string_view() : name.substr(0, lastDot));
}

// Constructed before main so that the factory exists before the program's
// own start-up code runs. Construction happens on first use inside
// instance(), so static objects of other files that reach the factory while
// they are constructed still find it built, and it outlives them.
[[maybe_unused]] const LogFactory& gFactoryAtStartup = LogFactory::instance();

} // namespace

LogFactory& LogFactory::instance() {
    static LogFactory& factory = []() -> LogFactory& {
        static LogFactory made;
        SetTerminateFlushFactory(&made);
        return made;
    }();
    return factory;
}

LogFactory::LogFactory()
    : root_("Root", LogPriority::kInfo, true), defaultAppender_("[NoAppenderName]", LogPriority::kNotSet) {}

LogFactory::~LogFactory() {
    ForgetTerminateFlushFactory(this);
    shutdown();
}

void LogFactory::setLastError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    lastError_ = StringFormatV(format, args);
    va_end(args);
    if (lastError_.size() > kErrorBufferSize - 1) lastError_.resize(kErrorBufferSize - 1);
}

Logger* LogFactory::getLogger(const std::string& name) {
    std::string search = name;
    for (;;) {
        for (const auto& logger : loggers_) {
            if (!logger->nameEquals(search)) continue;
            if (EqualsIgnoringCase(name, search)) return logger.get();
            loggers_.push_back(std::make_unique<Logger>(name, *logger));
            return loggers_.back().get();
        }
        search = ParentLoggerName(search);
        if (search.empty()) break;
    }
    loggers_.push_back(std::make_unique<Logger>(name, root_));
    return loggers_.back().get();
}

Logger* LogFactory::createLogger(const std::string& name, Priority threshold, bool additivity) {
    if (Logger* existing = findLogger(name)) return existing;
    loggers_.push_back(std::make_unique<Logger>(name, threshold, additivity));
    return loggers_.back().get();
}

Logger* LogFactory::findLogger(const std::string& name) {
    for (const auto& logger : loggers_)
        if (logger->nameEquals(name)) return logger.get();
    setLastError("Logger '%s' not found in factory", name.c_str());
    return nullptr;
}

bool LogFactory::removeLogger(const std::string& name) {
    const auto found =
        std::find_if(loggers_.begin(), loggers_.end(), [&](const auto& logger) { return logger->nameEquals(name); });
    if (found == loggers_.end()) {
        setLastError("Logger '%s' not found in factory", name.c_str());
        return false;
    }
    loggers_.erase(found);
    return true;
}

Logger* LogFactory::loggerAt(int index) {
    if (index < 0 || index >= loggerCount()) return &root_;
    return loggers_[static_cast<std::size_t>(index)].get();
}

void LogFactory::setThresholdByPrefix(const std::string& prefix, Priority threshold) {
    for (const auto& logger : loggers_)
        if (StartsWithIgnoringCase(logger->getName(), prefix) && logger->getThreshold() != threshold)
            logger->setThreshold(threshold);
}

Appender* LogFactory::findAppender(const std::string& name) {
    for (Appender* appender : appenders_)
        if (appender->nameEquals(name)) return appender;
    return nullptr;
}

Appender* LogFactory::findAppenderOrDefault(const std::string& name) {
    Appender* appender = findAppender(name);
    return appender ? appender : &defaultAppender_;
}

Appender* LogFactory::appenderAt(int index) {
    if (index < 0 || index >= appenderCount()) return &defaultAppender_;
    return appenders_[static_cast<std::size_t>(index)];
}

Appender* LogFactory::addAppender(Appender* appender, bool start) {
    if (appender == nullptr) return nullptr;
    if (Appender* existing = findAppender(appender->getName())) return existing;
    appenders_.push_back(appender);
    if (start) {
        std::string error;
        appender->start(error);
    }
    return appender;
}

Appender* LogFactory::addAppender(std::unique_ptr<Appender> appender, bool start) {
    if (appender == nullptr) return nullptr;
    if (Appender* existing = findAppender(appender->getName())) return existing;
    ownedAppenders_.push_back(std::move(appender));
    return addAppender(ownedAppenders_.back().get(), start);
}

bool LogFactory::ownsAppender(const Appender* appender) const {
    return std::any_of(ownedAppenders_.begin(), ownedAppenders_.end(),
                       [appender](const auto& owned) { return owned.get() == appender; });
}

bool LogFactory::removeAppender(Appender* appender) {
    const auto found = std::find(appenders_.begin(), appenders_.end(), appender);
    if (found == appenders_.end()) {
        setLastError("Appender '%s' not found in factory", appender ? appender->getName().c_str() : "");
        return false;
    }
    appenders_.erase(found);
    return true;
}

Appender* LogFactory::createAppender(const std::string& className, const std::string& name, Priority threshold) {
    if (Appender* existing = findAppender(name)) return existing;
    for (const AppenderClass& known : kAppenderClasses) {
        if (!EqualsIgnoringCase(className, known.name) || known.make == nullptr) continue;
        ownedAppenders_.push_back(known.make(name, threshold));
        appenders_.push_back(ownedAppenders_.back().get());
        return appenders_.back();
    }
    setLastError("Appender class '%s' not supported", className.c_str());
    return nullptr;
}

Layout* LogFactory::createLayout(const std::string& className) {
    for (const LayoutClass& known : kLayoutClasses) {
        if (!EqualsIgnoringCase(className, known.name) || known.make == nullptr) continue;
        layouts_.push_back(known.make());
        return layouts_.back().get();
    }
    setLastError("Layout class '%s' not supported", className.c_str());
    return nullptr;
}

Layout* LogFactory::addLayout(std::unique_ptr<Layout> layout) {
    if (layout == nullptr) return nullptr;
    layouts_.push_back(std::move(layout));
    return layouts_.back().get();
}

bool LogFactory::startAppenders(std::string& errors) {
    errors.clear();
    for (Appender* appender : appenders_) {
        // One already running stays as it is: opening it again would fail
        // and mark it closed, and its records would be dropped.
        if (!appender->isAutoStart() || appender->isOpened()) continue;
        std::string error;
        if (!appender->start(error))
            AppendErrorLine(
                errors, StringFormat("Unable to start appender '%s' (%s)", appender->getName().c_str(), error.c_str()));
    }
    return errors.empty();
}

bool LogFactory::stopAppenders(std::string& errors) {
    errors.clear();
    for (Appender* appender : appenders_) {
        std::string error;
        if (!appender->stop(error))
            AppendErrorLine(
                errors, StringFormat("Unable to stop appender '%s' (%s)", appender->getName().c_str(), error.c_str()));
    }
    return errors.empty();
}

void LogFactory::flushAppenders() {
    for (Appender* appender : appenders_) appender->flush();
}

void LogFactory::shutdown() {
    std::string ignored;
    stopAppenders(ignored);
    loggers_.clear();
    for (Appender* appender : appenders_) {
        // stop has already closed the appenders it could; closing those again
        // would write a second footer.
        if (appender->isOpened()) {
            std::string error;
            appender->closeFinally(error);
        }
    }
    appenders_.clear();
    // Also those removed from the list meanwhile: loggers may still have
    // referred to them until now.
    ownedAppenders_.clear();
    layouts_.clear();
}
