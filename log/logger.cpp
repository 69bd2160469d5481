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

// Each thread's record, reused from call to call so that its texts keep
// their capacity: once a thread has logged, a record costs no allocation.
// A record logged while the thread's record is being delivered (an appender
// that logs) gets one of its own.
struct ThreadRecord {
    ThreadRecord() { event.threadName = CurrentThreadText(); }

    LoggingEvent event;
    bool inUse = false;
};

// A message longer than this gives its memory back after delivery: a thread
// that logged one long dump does not keep the memory for good.
constexpr std::size_t kKeptMessageCapacity = 4096;

} // namespace

bool Logger::admitsAny(Priority priority) const {
    return priority >= LogPriority::kForce || (passesThreshold(priority, threshold_) && !appenders_.empty());
}

bool Logger::log(Priority priority, std::string_view message) {
    if (admitsAny(priority)) dispatch(priority, message);
    return true;
}

void Logger::dispatch(Priority priority, std::string_view message) {
    const std::uint32_t elapsedMs = LogTickCount() - creationTicks_;
    ThreadRecord& record = CallingThreadOwn<ThreadRecord>();
    if (record.inUse) {
        LoggingEvent event(std::string(message), name_, CurrentThreadText(), priority, elapsedMs);
        deliver(event);
        return;
    }
    struct Release {
        ThreadRecord& record;
        ~Release() {
            record.inUse = false;
            if (record.event.message.capacity() > kKeptMessageCapacity) std::string().swap(record.event.message);
        }
    } release{record};
    release.record.inUse = true;
    LoggingEvent& event = release.record.event;
    event.message.assign(message);
    event.categoryName.assign(name_);
    event.priority = priority;
    event.elapsedMs = elapsedMs;
    deliver(event);
}

void Logger::deliver(LoggingEvent& event) const {
    const Priority priority = event.priority;
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
    dispatch(priority, std::string_view(buffer, kept));
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
