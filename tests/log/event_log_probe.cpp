// Reports records of several priorities through an EventLogAppender whose
// layout frames them, opening and closing it twice, then leaves a second
// appender open for its destructor; event_log_wine_test.sh reads what the
// system's event log received.
#include "log/appenders/event_log_appender.h"
#include "tests/log/recording_appender.h"

#include <cstdio>

int main() {
    FramingLayout layout;
    EventLogAppender appender("ZorProbeSource", LogPriority::kNotSet);
    appender.setLayout(&layout);
    std::string error;
    if (!appender.open(error) || !appender.start(error)) {
        std::printf("open failed: %s\n", error.c_str());
        return 1;
    }
    const struct {
        Priority priority;
        const char* message;
    } records[] = {{LogPriority::kFatal, "fatal-record"}, {LogPriority::kError, "error-record"},
                   {LogPriority::kWarn, "warn-record"},   {LogPriority::kNotice, "notice-record"},
                   {LogPriority::kInfo, "info-record"},   {LogPriority::kDebug, "debug-record"}};
    for (const auto& record : records)
        appender.append(LoggingEvent(record.message, "probe", "main", record.priority, 0));
    if (!appender.close(error) || !appender.close(error)) {
        std::printf("close failed: %s\n", error.c_str());
        return 1;
    }

    // Left open: its destructor writes the footer.
    EventLogAppender unclosed("ZorProbeUnclosed", LogPriority::kNotSet);
    unclosed.setLayout(&layout);
    if (!unclosed.start(error)) return 1;
    unclosed.append(LoggingEvent("last-record", "probe", "main", LogPriority::kInfo, 0));
    return 0;
}
