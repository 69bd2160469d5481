// Starting helper programs from tests and waiting for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with arguments; false when it cannot be started. On
    // Windows the program gets a process group of its own, so that Interrupt
    // reaches it alone.
    bool Start(const std::string& program, const std::vector<std::string>& arguments);
#ifdef _WIN32
    // Starts program with rawArguments after its quoted path, as they stand:
    // for programs that read their command line themselves.
    bool StartWithRawArguments(const std::string& program, const std::string& rawArguments);
#endif
    // Interrupts the program as a user at its terminal would: SIGINT on
    // POSIX, a console Ctrl-Break on Windows. False when it cannot be sent;
    // on Windows the program is then ended, so that nobody waits for it.
    bool Interrupt();
    // Waits for the program to end and returns its exit code (-1 on failure).
    int Wait();
    // The system's id of the started program; 0 before Start.
    unsigned Id() const { return id_; }

private:
    std::intptr_t handle_ = -1;
    unsigned id_ = 0;
};

// The path of a program built beside the running test program.
std::string ProgramBesideTests(const std::string& name);

#ifdef _WIN32
// One argument quoted for a Windows command line, as the C runtime's parser
// reads it back: backslashes are literal unless they precede a double quote,
// where they must be doubled (so "dir\" keeps its last backslash).
std::string QuoteArgument(const std::string& argument);
#endif
