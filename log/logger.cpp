#include "log/logger.h"

#include "common/text_utils.h"
#include "log/appender.h"
#include "log/log_platform.h"
#include "log/logging_event.h"

Logger::Logger() : creationTicks_(LogTickCount()) {}

Logger::Logger(std::string name, Priority threshold, bool additivity)
    : creationTicks_(LogTickCount()), threshold_(threshold), additivity_(additivity), name_(std::move(name)) {}

Logger::Logger(std::string name, const Logger& parent)
    : creationTicks_(LogTickCount()), threshold_(parent.threshold_), additivity_(parent.additivity_),
      name_(std::move(name)), appenders_(parent.appenders_) {}

Logger::~Logger() = default;

bool Logger::log(Priority priority, const std::string& message) {
    LoggingEvent event;
    event.categoryName = name_;
    event.message = message;
    event.priority = priority;
    event.elapsedMs = LogTickCount() - creationTicks_;
    event.threadName = CurrentThreadText();

    for (Appender* appender : appenders_) {
        if (!appender->isActive()) continue;
        const bool admitted = priority >= LogPriority::kForce || (passesThreshold(priority, threshold_) &&
                                                                  passesThreshold(priority, appender->getThreshold()));
        if (!admitted) continue;
        event.appenderClassName = appender->className();
        event.appenderName = appender->getName();
        appender->append(event);
    }
    return true;
}

bool Logger::logFormatV(Priority priority, const char* format, va_list args) {
    char buffer[kFormatBufferSize];
    FormatToBufferV(buffer, sizeof buffer, format, args);
    return log(priority, buffer);
}

bool Logger::logFormat(Priority priority, const char* format, ...) {
    va_list args;
    va_start(args, format);
    logFormatV(priority, format, args);
    va_end(args);
    return true;
}

#define ZOR_LOGGER_FORMAT_CALL(function, priority)                                                                     \
    bool Logger::function(const char* format, ...) {                                                                   \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        logFormatV(priority, format, args);                                                                            \
        va_end(args);                                                                                                  \
        return true;                                                                                                   \
    }

ZOR_LOGGER_FORMAT_CALL(traceFormat, LogPriority::kTrace)
ZOR_LOGGER_FORMAT_CALL(debugFormat, LogPriority::kDebug)
ZOR_LOGGER_FORMAT_CALL(infoFormat, LogPriority::kInfo)
ZOR_LOGGER_FORMAT_CALL(noticeFormat, LogPriority::kNotice)
ZOR_LOGGER_FORMAT_CALL(warnFormat, LogPriority::kWarn)
ZOR_LOGGER_FORMAT_CALL(errorFormat, LogPriority::kError)
ZOR_LOGGER_FORMAT_CALL(fatalFormat, LogPriority::kFatal)
ZOR_LOGGER_FORMAT_CALL(forceFormat, LogPriority::kForce)

#undef ZOR_LOGGER_FORMAT_CALL

bool Logger::nameEquals(std::string_view text) const { return EqualsIgnoringCase(name_, text); }

bool Logger::addAppender(Appender* appender) {
    // A null entry would crash every later dispatch; it is not listed.
    if (appender != nullptr) appenders_.push_back(appender);
    return true;
}

Appender* Logger::appenderAt(int index) const {
    if (index < 0 || index >= appenderCount()) return nullptr;
    return appenders_[static_cast<std::size_t>(index)];
}

const char* Logger::appenderNameAt(int index) const {
    const Appender* appender = appenderAt(index);
    return appender ? appender->getName().c_str() : nullptr;
}

const char* Logger::appenderClassNameAt(int index) const {
    const Appender* appender = appenderAt(index);
    return appender ? appender->className() : nullptr;
}

const char* Logger::layoutClassNameAt(int index) const {
    const Appender* appender = appenderAt(index);
    if (appender == nullptr) return nullptr;
    const Layout* layout = appender->getLayout();
    return layout ? layout->className() : kNoLayoutName;
}
