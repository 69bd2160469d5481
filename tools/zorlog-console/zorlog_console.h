// The zorlog-console program, apart from the process it runs in.
#pragma once

#include <string>
#include <vector>

namespace zorlog_console {

enum ExitCode : int {
    // Ended by Ctrl-C, SIGTERM or after --count datagrams: a watch that the
    // user ends is a success, and scripts need not tell the cases apart.
    kExitSuccess = 0,
    // Cannot listen (port in use, address unknown or not local), receive or write.
    kExitFailure = 1,
    kExitUsage = 2 // bad command line
};

// Runs the command line (without the program name): listens, prints until
// told to end, returns the exit code. Messages go to standard error as one
// line each, starting "zorlog-console: ": where it listens once it does, and
// how many datagrams it received when Ctrl-C or SIGTERM ends it.
int Run(const std::vector<std::string>& arguments);

} // namespace zorlog_console
