// A program logging through UDPConsoleColorAppender to a running
// zorlog-console: what the console prints is exactly what the target sent,
// colours, CR LF line ends and the long record's pieces in order included.
#include "log/appenders/udp_console_appender.h"
#include "tests/common/temp_dir.h"
#include "tests/support/process.h"
#include "tests/tools/zorlog-console/console_process.h"
#include "tests/tools/zorlog-console/udp_log_records.h"
#include "tools/zorlog-console/command_line.h"

#include <gtest/gtest.h>

namespace {

// How a record looks on the console: the priority's colour, the record laid
// out as "%-5p %c - %m" and a line end, every LF sent as CR LF, the reset.
std::string Shown(const SentRecord& record) {
    const struct {
        Priority priority;
        const char* name;
        const char* colour;
    } kLooks[] = {
        {LogPriority::kTrace, "TRACE", "\033[01;34m"}, {LogPriority::kDebug, "DEBUG", "\033[01;36m"},
        {LogPriority::kInfo, "INFO ", "\033[01;37m"},  {LogPriority::kNotice, "NOTICE", "\033[0m"},
        {LogPriority::kWarn, "WARN ", "\033[01;33m"},  {LogPriority::kError, "ERROR", "\033[01;31m"},
        {LogPriority::kFatal, "FATAL", "\033[01;35m"},
    };
    for (const auto& look : kLooks) {
        if (look.priority != record.priority) continue;
        std::string shown = look.colour;
        for (const char c : std::string(look.name) + " " + kSenderLogger + " - " + record.message + "\n") {
            if (c == '\n') shown += '\r';
            shown += c;
        }
        return shown + "\033[0m";
    }
    ADD_FAILURE() << "no look for priority " << record.priority;
    return "";
}

TEST(ZorlogConsoleEndToEnd, TheConsoleListensWhereTheTargetsSendByDefault) {
    EXPECT_EQ(zorlog_console::kDefaultPort, UDPConsoleAppender::kDefaultPort);
}

TEST(ZorlogConsoleEndToEnd, ColouredRecordsOfALoggingProgramArriveExactly) {
    // The clear-screen datagram, then each record in pieces of at most the
    // target's datagram size.
    std::string expected = "\033[2J\033[H";
    std::size_t datagrams = 1;
    for (const SentRecord& record : RecordsToSend()) {
        const std::string shown = Shown(record);
        expected += shown;
        datagrams += (shown.size() + UDPConsoleAppender::kDatagramSize - 1) / UDPConsoleAppender::kDatagramSize;
    }
    ASSERT_GE(datagrams, 1 + RecordsToSend().size() + 2) << "the long record takes three datagrams";

    TempDir dir;
    ChildProcess console;
    ASSERT_TRUE(console.Start(ProgramBesideTests("zorlog-console"),
                              {"--port", "0", "--count", std::to_string(datagrams)}, dir / "console.out",
                              dir / "console.err"));
    const std::uint16_t port = WaitForListeningPort(console, dir / "console.err");
    ASSERT_NE(port, 0) << ReadMessages(dir / "console.err");

    ChildProcess sender;
    ASSERT_TRUE(sender.Start(ProgramBesideTests("udp_log_sender"), {std::to_string(port)}, dir / "sender.out",
                             dir / "sender.err"));
    EXPECT_EQ(sender.Wait(kGuard), 0) << ReadMessages(dir / "sender.err");
    EXPECT_EQ(ReadWholeFile(dir / "sender.out"), "") << "no send failed";

    EXPECT_EQ(console.Wait(kGuard), 0) << "not every datagram arrived";
    EXPECT_EQ(ReadWholeFile(dir / "console.out"), expected);
}

} // namespace
