#include "tests/support/process.h"

#include "common/windows_api.h"

namespace {

// One argument quoted for the Windows command-line parser.
std::string Quote(const std::string& argument) {
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

ChildProcess::~ChildProcess() { Wait(); }

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
    std::string rawArguments;
    for (const std::string& argument : arguments) rawArguments += (rawArguments.empty() ? "" : " ") + Quote(argument);
    return StartWithRawArguments(program, rawArguments);
}

bool ChildProcess::StartWithRawArguments(const std::string& program, const std::string& rawArguments) {
    std::string commandLine = Quote(program);
    if (!rawArguments.empty()) commandLine += " " + rawArguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_PROCESS_GROUP,
                          nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    handle_ = reinterpret_cast<std::intptr_t>(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ChildProcess::Interrupt() {
    if (handle_ == -1) return false;
    if (::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(id_))) return true;
    // Nothing to send it through: end the program rather than wait for it.
    ::TerminateProcess(reinterpret_cast<HANDLE>(handle_), 1);
    return false;
}

int ChildProcess::Wait() {
    if (handle_ == -1) return -1;
    HANDLE process = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    DWORD code = 0;
    const bool ok = ::WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code);
    ::CloseHandle(process);
    return ok ? static_cast<int>(code) : -1;
}
