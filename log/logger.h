// A named category with a threshold and an ordered list of appenders.
//
// Obtain loggers from LogFactory::instance().getLogger(name). Any number of
// threads may log through the same logger at once: dispatch only reads the
// appender list and fills a record of the calling thread's own, and each
// appender serialises its own output. Renaming, threshold changes and adding
// appenders belong to the configuration phase and are not guarded.
#pragma once

#include "common/string_format.h"
#include "log/priority.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Appender;
class LoggingEvent;

class Logger {
public:
    // Formatted messages are cut to fit this buffer, NUL included.
    static constexpr std::size_t kFormatBufferSize = 65536;

    // Unnamed, threshold 600 (INFO), additivity on.
    Logger();
    Logger(std::string name, Priority threshold, bool additivity);
    // Threshold, additivity and the appender list copied from parent now;
    // later changes to the parent do not reach this logger.
    Logger(std::string name, const Logger& parent);
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;
    virtual ~Logger();

    // Offers one record to every active appender in list order. An appender
    // receives it when priority <= the logger's threshold and <= the
    // appender's threshold, or when priority >= 9998 (forced and raw
    // records). Appender failures are invisible here; always true.
    // A filtered call copies nothing; an admitted one copies the message
    // into the calling thread's reused record, so that once a thread has
    // logged, its records allocate nothing here.
    bool log(Priority priority, std::string_view message);
    // printf-style; the text is cut to kFormatBufferSize - 1 characters.
    // Formatted by the C99 formatter of common/small_printf.h, faster than
    // the C library's for the integers and texts log messages carry (floats
    // go to the C library; "%ls" writes non-ASCII characters as "?").
    bool logFormat(Priority priority, const char* format, ...) ZOR_PRINTF_FORMAT(3, 4);
    bool logFormatV(Priority priority, const char* format, va_list args);

    // Convenience calls at fixed priorities; all return true. ALERT (100),
    // CRITICAL (200) and the raw priority 9999 go through log/logFormat.
    bool trace(std::string_view message) { return log(LogPriority::kTrace, message); }
    bool debug(std::string_view message) { return log(LogPriority::kDebug, message); }
    bool info(std::string_view message) { return log(LogPriority::kInfo, message); }
    bool notice(std::string_view message) { return log(LogPriority::kNotice, message); }
    bool warn(std::string_view message) { return log(LogPriority::kWarn, message); }
    bool error(std::string_view message) { return log(LogPriority::kError, message); }
    bool fatal(std::string_view message) { return log(LogPriority::kFatal, message); }
    bool force(std::string_view message) { return log(LogPriority::kForce, message); }

    bool traceFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool debugFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool infoFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool noticeFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool warnFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool errorFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool fatalFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    bool forceFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);

    // A hex dump of length bytes, one log line per 16 bytes after a header:
    // offset, hexadecimal columns and the bytes as characters (0x20..0x7E,
    // "." for others). A null bytes pointer is dumped as an empty block.
    void dumpHex(Priority priority, const char* name, const void* bytes, std::uint32_t length);
    // The same block as lines of C array initialisers ("0x41, ").
    void dumpCArray(Priority priority, const char* name, const void* bytes, std::uint32_t length);

    const std::string& getName() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    bool nameEquals(std::string_view text) const;

    Priority getThreshold() const { return threshold_; }
    void setThreshold(Priority threshold) { threshold_ = threshold; }

    bool getAdditivity() const { return additivity_; }
    void setAdditivity(bool additivity) { additivity_ = additivity; }

    // The tick count taken at construction; records measure elapsedMs from it.
    std::uint32_t creationTicks() const { return creationTicks_; }

    // Appends the reference (not owned; no duplicate check: an appender
    // listed twice receives each record twice). Always true.
    bool addAppender(Appender* appender);

    int appenderCount() const { return static_cast<int>(appenders_.size()); }
    // Null when index is outside 0..count-1.
    Appender* appenderAt(int index) const;
    const char* appenderNameAt(int index) const;
    const char* appenderClassNameAt(int index) const;
    // "[NoLayout]" for an appender without a layout.
    const char* layoutClassNameAt(int index) const;

private:
    // False when no appender can receive a record of this priority: it fails
    // the logger's threshold and is not forced, or there is no appender.
    bool admitsAny(Priority priority) const;
    // Fills the record and offers it to the appenders.
    void dispatch(Priority priority, std::string_view message);
    // Offers event to every admitting appender in list order.
    void deliver(LoggingEvent& event) const;

    std::uint32_t creationTicks_;
    Priority threshold_ = LogPriority::kInfo;
    bool additivity_ = true;
    std::string name_;
    std::vector<Appender*> appenders_;
};
