// Starting helper programs from tests, with or without their output going
// to files, and waiting for them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    // A program still running is ended first: a failed test never leaves one
    // behind, nor waits for it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program with arguments; false when it cannot be started. The
    // program shares the test's standard streams unless outputPath and
    // errorPath are given (both): its standard input is then empty, and its
    // output and error are opened from the two paths (files are created
    // anew; a terminal device is opened as it is). On POSIX, SIGINT and
    // SIGTERM are at their default in the program whatever the test
    // inherited; on Windows the program gets a process group of its own, so
    // that Interrupt reaches it alone.
    bool Start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& outputPath = {}, const std::string& errorPath = {});
#ifdef _WIN32
    // Starts program with rawArguments after its quoted path, as they stand:
    // for programs that read their command line themselves.
    bool StartWithRawArguments(const std::string& program, const std::string& rawArguments);
#endif
    // Interrupts the program as a user at its terminal would: SIGINT on
    // POSIX, a console Ctrl-Break on Windows. False when it cannot be sent;
    // on Windows the program is then ended, so that nobody waits for it.
    bool Interrupt();
#ifndef _WIN32
    bool Signal(int signal);
#endif
    // True while the program has not ended.
    bool Running();
    // Waits for the program to end and returns its exit code; -1 when it
    // ended by a signal or was never started.
    int Wait();
    // The same, waiting at most limit (a guard against a hung test, not a
    // measure): -1 when the program has not ended by then, which is then
    // ended.
    int Wait(std::chrono::milliseconds limit);
    // The system's id of the started program; 0 before Start.
    unsigned Id() const { return id_; }

private:
    // Takes over a started program's process handle and id.
    void Adopt(std::intptr_t handle, unsigned id);
    void Kill();

    std::intptr_t handle_ = -1;
    unsigned id_ = 0;
    int exitCode_ = -1;
    bool ended_ = false;
};

// A run of a command-line tool with what it printed.
struct CapturedRun {
    int exitCode = -1; // -1 when the program could not be run
    std::string out;   // standard output, with any CR removed
    std::string err;   // standard error, with any CR removed
};

// Runs program with arguments and an empty standard input, and waits for it;
// the two outputs go through files in scratchDirectory (which must exist).
CapturedRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& scratchDirectory);

// What a program printed into the file at path, without the CRs that the
// Windows build puts in front of each LF; empty when there is no such file.
std::string ReadMessages(const std::string& path);

// The path of a program built beside the running test program.
std::string ProgramBesideTests(const std::string& name);

#ifdef _WIN32
// One argument quoted for a Windows command line, as the C runtime's parser
// reads it back: backslashes are literal unless they precede a double quote,
// where they must be doubled (so "dir\" keeps its last backslash).
std::string QuoteArgument(const std::string& argument);
#endif
