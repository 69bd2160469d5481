// zorlog-check FILE: reads a logging configuration file as a program's
// configure call reads its text, on a factory of its own, and prints every
// error line and every warning (a value read but not usable as meant), one
// per line on standard error, each after the file's name. Nothing is opened:
// the targets are configured, not started, so no log file or socket is made.
//
// Exit codes: 0 nothing to report, 1 errors or warnings, 2 bad command line
// or unreadable file.
#include "common/text_utils.h"
#include "log/log_factory.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Prints each "\n"-separated line of text after the file name and kind;
// nothing for an empty text.
void PrintLines(const std::string& file, const char* kind, const std::string& text) {
    if (text.empty()) return;
    std::vector<std::string> lines;
    SplitByChars(text, "\n", lines);
    for (const std::string& line : lines) std::fprintf(stderr, "%s: %s: %s\n", file.c_str(), kind, line.c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: zorlog-check FILE\n");
        return 2;
    }
    const std::string file = argv[1];
    std::string text;
    if (!ReadConfigurationFile(file, text)) {
        std::fprintf(stderr, "zorlog-check: cannot read %s\n", file.c_str());
        return 2;
    }

    LogFactory factory;
    std::string errors;
    factory.configure(text, errors, false);
    PrintLines(file, "error", errors);
    for (const std::string& warning : factory.configurationWarnings()) PrintLines(file, "warning", warning);
    if (errors.empty() && factory.configurationWarnings().empty()) {
        std::printf("%s: no errors, no warnings\n", file.c_str());
        return 0;
    }
    return 1;
}
