// Test helper: logs RecordsToSend through a UDPConsoleColorAppender set up
// in code, as an application would, to port PORT of 127.0.0.1, clearing the
// receiver's screen first. Exit code 0 when the target started and stopped.
#include "log/appenders/udp_console_color_appender.h"
#include "log/layouts/pattern_layout.h"
#include "log/logger.h"
#include "tests/tools/zorlog-console/udp_log_records.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: udp_log_sender PORT\n");
        return 2;
    }
    PatternLayout layout(kSenderPattern);
    UDPConsoleColorAppender target("console", LogPriority::kAll);
    target.setLayout(&layout);
    if (!target.setParam("hosts", "127.0.0.1") || !target.setParam("port", argv[1]) ||
        !target.setParam("ClearScreen", "true")) {
        std::fprintf(stderr, "udp_log_sender: a parameter was refused\n");
        return 3;
    }
    std::string error;
    if (!target.start(error)) {
        std::fprintf(stderr, "udp_log_sender: %s\n", error.c_str());
        return 4;
    }
    Logger logger(kSenderLogger, LogPriority::kAll, false);
    logger.addAppender(&target);
    for (const SentRecord& record : RecordsToSend()) logger.log(record.priority, record.message);
    if (!target.stop(error)) {
        std::fprintf(stderr, "udp_log_sender: %s\n", error.c_str());
        return 5;
    }
    return 0;
}
