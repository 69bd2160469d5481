#include "tests/support/process.h"

#include "common/windows_api.h"

std::string QuoteArgument(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

ChildProcess::~ChildProcess() { Wait(); }

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments) {
    std::string rawArguments;
    for (const std::string& argument : arguments)
        rawArguments += (rawArguments.empty() ? "" : " ") + QuoteArgument(argument);
    return StartWithRawArguments(program, rawArguments);
}

bool ChildProcess::StartWithRawArguments(const std::string& program, const std::string& rawArguments) {
    std::string commandLine = QuoteArgument(program);
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
