// The zorlog-console command line: every option in each of its spellings,
// the bounds of its numbers and the exact reasons for refusing a line.
#include "tools/zorlog-console/command_line.h"

#include <gtest/gtest.h>

namespace {

using zorlog_console::ParseCommandLine;
using zorlog_console::ParseResult;
using zorlog_console::Settings;

Settings Parsed(const std::vector<std::string>& arguments) {
    const ParseResult result = ParseCommandLine(arguments);
    EXPECT_TRUE(result.ok) << result.error;
    return result.settings;
}

std::string Refusal(const std::vector<std::string>& arguments) {
    const ParseResult result = ParseCommandLine(arguments);
    EXPECT_FALSE(result.ok);
    return result.error;
}

TEST(ZorlogConsoleCommandLine, NothingGivenListensOnLoopbackPort4884) {
    const Settings settings = Parsed({});
    EXPECT_FALSE(settings.help);
    EXPECT_EQ(settings.port, 4884);
    EXPECT_EQ(settings.bindAddress, "127.0.0.1");
    EXPECT_FALSE(settings.stripEscapes);
    EXPECT_EQ(settings.count, 0u);
}

TEST(ZorlogConsoleCommandLine, EveryOptionInEachSpelling) {
    for (const auto& line : std::vector<std::vector<std::string>>{
             {"--port", "5000", "--bind", "0.0.0.0", "--count", "7", "--no-color"},
             {"--port=5000", "--bind=0.0.0.0", "--count=7", "--no-color"},
             {"-p", "5000", "-b", "0.0.0.0", "-n", "7", "--no-color"},
             {"--no-color", "-n", "7", "--bind", "0.0.0.0", "--port=5000"},
         }) {
        SCOPED_TRACE(::testing::PrintToString(line));
        const Settings settings = Parsed(line);
        EXPECT_EQ(settings.port, 5000);
        EXPECT_EQ(settings.bindAddress, "0.0.0.0");
        EXPECT_EQ(settings.count, 7u);
        EXPECT_TRUE(settings.stripEscapes);
        EXPECT_FALSE(settings.help);
    }
}

TEST(ZorlogConsoleCommandLine, ALaterOptionOverridesAnEarlierOne) {
    const Settings settings = Parsed({"--port", "1", "--bind", "localhost", "-p", "2", "-b", "10.0.0.1"});
    EXPECT_EQ(settings.port, 2);
    EXPECT_EQ(settings.bindAddress, "10.0.0.1");
}

TEST(ZorlogConsoleCommandLine, HelpAnywhereWinsOverEverythingElse) {
    for (const auto& line : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"--port", "x", "-h"}, {"--frobnicate", "--help"}, {"extra", "--count", "0", "-h"}}) {
        SCOPED_TRACE(::testing::PrintToString(line));
        EXPECT_TRUE(Parsed(line).help);
    }
}

TEST(ZorlogConsoleCommandLine, PortsFromZeroTo65535) {
    EXPECT_EQ(Parsed({"--port", "0"}).port, 0);
    EXPECT_EQ(Parsed({"--port", "65535"}).port, 65535);
    EXPECT_EQ(Parsed({"--port", "004884"}).port, 4884);
    for (const char* bad : {"65536", "99999", "18446744073709551616", "-1", "+80", " 80", "80 ", "0x50", "8o", ""}) {
        EXPECT_EQ(Refusal({"--port", bad}),
                  std::string("bad --port '") + bad + "': expected a port number from 0 to 65535");
    }
}

TEST(ZorlogConsoleCommandLine, CountsFromOneUpward) {
    EXPECT_EQ(Parsed({"--count", "1"}).count, 1u);
    EXPECT_EQ(Parsed({"--count", "18446744073709551615"}).count, 18446744073709551615u);
    for (const char* bad : {"0", "18446744073709551616", "-3", "3x", ""}) {
        EXPECT_EQ(Refusal({"--count", bad}),
                  std::string("bad --count '") + bad + "': expected a number of datagrams, 1 or more");
    }
}

TEST(ZorlogConsoleCommandLine, BindTakesDottedAddressesAndHostNames) {
    for (const char* good :
         {"0.0.0.0", "127.0.0.1", "127.1", "192.168.1.20", "localhost", "build-pc.example.org", "host_1", "a"}) {
        EXPECT_EQ(Parsed({"--bind", good}).bindAddress, good);
    }
    const std::string longest(253, 'h');
    EXPECT_EQ(Parsed({"--bind", longest}).bindAddress, longest);
    // Digits and points must make an address, as in the targets' host lists.
    for (const std::string& bad :
         std::vector<std::string>{"", "300.1.2.3", "1.2.3.4.5", "1..2", "1.2.3.", "host name", "host:4884", "[::1]",
                                  "caf\xC3\xA9", std::string(254, 'h')}) {
        EXPECT_EQ(Refusal({"--bind", bad}), "bad --bind '" + bad + "': expected a dotted IPv4 address or a host name");
    }
}

TEST(ZorlogConsoleCommandLine, RefusedLinesSayWhy) {
    const struct {
        std::vector<std::string> line;
        const char* reason;
    } cases[] = {
        {{"--frobnicate"}, "unknown option '--frobnicate'; see --help"},
        {{"-x"}, "unknown option '-x'; see --help"},
        {{"--ports", "5000"}, "unknown option '--ports'; see --help"},
        {{"5000"}, "unexpected argument '5000'; see --help"},
        {{"-"}, "unexpected argument '-'; see --help"},
        {{"--port"}, "--port needs a value"},
        {{"--no-color", "-b"}, "--bind needs a value"},
        {{"--count"}, "--count needs a value"},
        {{"--no-color=yes"}, "--no-color takes no value"},
    };
    for (const auto& c : cases) EXPECT_EQ(Refusal(c.line), c.reason) << ::testing::PrintToString(c.line);
}

} // namespace
