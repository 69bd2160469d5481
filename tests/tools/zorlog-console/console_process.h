// A program started by a test with its standard output and error going to
// files, so that the test can read what it printed while it still runs:
// zorlog-console waiting for datagrams, and the logging program that sends
// them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ConsoleProcess {
public:
    ConsoleProcess() = default;
    // A program still running is ended first: a failed test never leaves one.
    ~ConsoleProcess();
    ConsoleProcess(const ConsoleProcess&) = delete;
    ConsoleProcess& operator=(const ConsoleProcess&) = delete;

    // Starts program with arguments, an empty standard input, and standard
    // output and error opened from the two paths (files are created anew; a
    // terminal device is opened as it is). On POSIX, SIGINT and SIGTERM are
    // at their default in the program whatever the test inherited; on
    // Windows the program gets a process group of its own. False when it
    // cannot be started.
    bool Start(const std::string& program, const std::vector<std::string>& arguments, const std::string& outputPath,
               const std::string& errorPath);
    // Interrupts the program as Ctrl-C at its terminal would: SIGINT on
    // POSIX, a console Ctrl-Break on Windows. False when it cannot be sent.
    bool Interrupt();
#ifndef _WIN32
    bool Signal(int signal);
#endif
    // True while the program has not ended.
    bool Running();
    // Waits for the program to end, up to a minute (a guard against a hung
    // test, not a measure), and returns its exit code; -1 when it ended by a
    // signal or did not end (it is then ended).
    int Wait();

private:
    void Kill();

    std::intptr_t handle_ = -1;
    unsigned id_ = 0;
    int exitCode_ = -1;
    bool ended_ = false;
};

// Waits until zorlog-console reports where it listens on errorPath and
// returns the port; 0 when the process ended, or nothing came within a
// minute, first.
std::uint16_t WaitForListeningPort(ConsoleProcess& process, const std::string& errorPath);

// Waits until the file at path holds at least size bytes, for a minute at
// most; false when it does not.
bool WaitForFileSize(const std::string& path, std::size_t size);

// The content of the file without the CRs that the Windows build puts in
// front of the LFs of its messages.
std::string ReadMessages(const std::string& path);
