#include "tests/tools/captured_run.h"

#include "common/path.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

CapturedRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& scratchDirectory) {
    const std::string outPath = BuildPath(scratchDirectory, "captured", "out");
    const std::string errPath = BuildPath(scratchDirectory, "captured", "err");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);

    CapturedRun run;
    if (spawned != 0) return run;
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.out = captured_run_detail::ReadWithoutCarriageReturns(outPath);
    run.err = captured_run_detail::ReadWithoutCarriageReturns(errPath);
    return run;
}
