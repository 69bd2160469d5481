// The zorlog-console command line turned into settings, without touching the
// network: addresses are checked for their form here and looked up later.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorlog_console {

// The port the logging framework's UDP targets send to unless told otherwise.
constexpr std::uint16_t kDefaultPort = 4884;
// Loopback: records of programs on this computer only, unless asked.
constexpr char kDefaultBindAddress[] = "127.0.0.1";

struct Settings {
    bool help = false;
    std::uint16_t port = kDefaultPort;             // 0: any free port
    std::string bindAddress = kDefaultBindAddress; // dotted IPv4 or host name
    bool stripEscapes = false;                     // --no-color
    std::uint64_t count = 0;                       // datagrams to print before ending; 0: no limit
};

// Either settings or, for a command line that cannot be carried out as
// written, a one-line reason (without the program's name in front).
struct ParseResult {
    bool ok = false;
    Settings settings;
    std::string error;
};

// arguments excludes the program name. Options take their value as the next
// argument or after "=" (long forms); a later option overrides an earlier
// one. "-h"/"--help" anywhere asks for the usage text, whatever else is
// wrong. Numbers are plain decimal digits: no sign, blank or base prefix.
ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace zorlog_console
