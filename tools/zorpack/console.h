// Where zorpack writes, and what its exit codes mean.
#pragma once

#include <ostream>

namespace zorpack {

enum ExitCode : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

struct Console {
    std::ostream& out; // results and progress
    std::ostream& err; // one line per failure, starting "zorpack: "
    bool interactive;  // out is a terminal: a live progress line is welcome
};

// Writes "zorpack: <message>" as one line to err and returns code.
int Report(Console& console, const std::string& message, int code = kExitFailure);

} // namespace zorpack
