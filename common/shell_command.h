// Running a command line of the user's through the system's shell: /bin/sh
// on POSIX, cmd.exe on Windows. For commands a user writes as a template
// (a signing tool's command line, with file names filled in), so pipes,
// "&&" and quoting work as the user is used to.
#pragma once

#include <string>

// The text that stands for path as one word on the shell's command line:
// single-quoted on POSIX, double-quoted on Windows (where no file name
// holds a double quote).
std::string QuoteForShell(const std::string& path);

// Runs command through the shell and waits for it to end. The command reads
// nothing from standard input and writes its standard output to this
// program's standard error, so that this program's own output stays its
// own. True with the command's exit code in exitCode when it ran (an exit
// code above 255 or a signal counts as 255 on POSIX); false with the last
// error set when the shell could not be started.
bool RunShellCommand(const std::string& command, int& exitCode);
