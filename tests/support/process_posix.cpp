#include "tests/support/process.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProcess::~ChildProcess() { Wait(); }

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
    handle_ = pid;
    return true;
}

bool ChildProcess::Interrupt() { return handle_ >= 0 && ::kill(static_cast<pid_t>(handle_), SIGINT) == 0; }

int ChildProcess::Wait() {
    if (handle_ < 0) return -1;
    int status = 0;
    const pid_t pid = static_cast<pid_t>(handle_);
    handle_ = -1;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}
