#include "tests/support/process.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

ChildProcess::~ChildProcess() {
    if (Running()) Kill();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& outputPath, const std::string& errorPath) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!outputPath.empty()) {
        // O_NOCTTY: a terminal given as the output must not become the
        // program's controlling terminal.
        const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY;
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), flags, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), flags, 0644);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;
    Adopt(pid, static_cast<unsigned>(pid));
    return true;
}

void ChildProcess::Adopt(std::intptr_t handle, unsigned id) {
    handle_ = handle;
    id_ = id;
    ended_ = false;
    exitCode_ = -1;
}

bool ChildProcess::Signal(int signal) { return Running() && ::kill(static_cast<pid_t>(handle_), signal) == 0; }

bool ChildProcess::Interrupt() { return Signal(SIGINT); }

bool ChildProcess::Running() {
    if (handle_ < 0 || ended_) return false;
    int status = 0;
    const pid_t done = ::waitpid(static_cast<pid_t>(handle_), &status, WNOHANG);
    if (done == 0) return true;
    ended_ = true;
    exitCode_ = done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

int ChildProcess::Wait() {
    if (handle_ < 0 || ended_) return exitCode_;
    int status = 0;
    const pid_t done = ::waitpid(static_cast<pid_t>(handle_), &status, 0);
    ended_ = true;
    exitCode_ = done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exitCode_;
}

int ChildProcess::Wait(std::chrono::milliseconds limit) {
    const auto giveUp = std::chrono::steady_clock::now() + limit;
    while (Running()) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            Kill();
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exitCode_;
}

void ChildProcess::Kill() {
    ::kill(static_cast<pid_t>(handle_), SIGKILL);
    ::waitpid(static_cast<pid_t>(handle_), nullptr, 0);
    ended_ = true;
    exitCode_ = -1;
}
