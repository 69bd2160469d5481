#include "log/logger.h"

#include "common/small_printf.h"
#include "common/text_utils.h"
#include "log/appender.h"
#include "log/log_platform.h"
#include "log/logging_event.h"

#include <algorithm>
#include <cstdio>

Logger::Logger() : creationTicks_(LogTickCount()) {}

Logger::Logger(std::string name, Priority threshold, bool additivity)
    : creationTicks_(LogTickCount()), threshold_(threshold), additivity_(additivity), name_(std::move(name)) {}

Logger::Logger(std::string name, const Logger& parent)
    : creationTicks_(LogTickCount()), threshold_(parent.threshold_), additivity_(parent.additivity_),
      name_(std::move(name)), appenders_(parent.appenders_) {}

Logger::~Logger() = default;

namespace {

// Floating-point conversions of log messages go to the C library's formatter.
int FormatFloat(char* buffer, std::size_t size, const char* conversion, double value) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    return std::snprintf(buffer, size, conversion, value);
#pragma GCC diagnostic pop
}

} // namespace

bool Logger::admitsAny(Priority priority) const {
    return priority >= LogPriority::kForce || (passesThreshold(priority, threshold_) && !appenders_.empty());
}

bool Logger::log(Priority priority, std::string_view message) {
    if (admitsAny(priority)) dispatch(priority, std::string(message));
    return true;
}

void Logger::dispatch(Priority priority, std::string message) {
    LoggingEvent event(std::move(message), name_, CurrentThreadText(), priority, LogTickCount() - creationTicks_);
    for (Appender* appender : appenders_) {
        if (!appender->isActive()) continue;
        const bool admitted = priority >= LogPriority::kForce || (passesThreshold(priority, threshold_) &&
                                                                  passesThreshold(priority, appender->getThreshold()));
        if (!admitted) continue;
        event.appenderClassName = appender->className();
        event.appenderName = appender->getName();
        appender->append(event);
    }
}

bool Logger::logFormatV(Priority priority, const char* format, va_list args) {
    // A record no appender can receive is not even formatted.
    if (!admitsAny(priority)) return true;
    char buffer[kFormatBufferSize];
    const int length = format ? SmallVsnprintf(buffer, sizeof buffer, format, args, &FormatFloat) : 0;
    const std::size_t kept = length < 0 ? 0 : std::min(static_cast<std::size_t>(length), sizeof buffer - 1);
    dispatch(priority, std::string(buffer, kept));
    return true;
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
