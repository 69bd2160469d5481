// Runs a program with its standard output and error captured, for tests that
// check what a command-line tool prints.
#pragma once

#include <string>
#include <vector>

struct CapturedRun {
    int exitCode = -1; // -1 when the program could not be run
    std::string out;   // standard output, with any CR removed
    std::string err;   // standard error, with any CR removed
};

// Runs program with arguments and an empty standard input; the two outputs go
// through files in scratchDirectory (which must exist) and are read back.
CapturedRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& scratchDirectory);

// Helpers shared by both platforms' implementations.
namespace captured_run_detail {
std::string ReadWithoutCarriageReturns(const std::string& path);
}
