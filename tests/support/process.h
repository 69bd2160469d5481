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

    // Starts program with arguments; false when it cannot be started.
    bool Start(const std::string& program, const std::vector<std::string>& arguments);
    // Waits for the program to end and returns its exit code (-1 on failure).
    int Wait();

private:
    std::intptr_t handle_ = -1;
};

// The path of a program built beside the running test program.
std::string ProgramBesideTests(const std::string& name);
