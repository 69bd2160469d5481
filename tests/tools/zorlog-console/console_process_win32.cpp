#include "tests/tools/zorlog-console/console_process.h"

#include "common/windows_api.h"

namespace {

// One argument as the C runtime's parser reads it back: backslashes are
// literal unless they precede a double quote, where they must be doubled.
std::string Quote(const std::string& argument) {
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
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

// An inheritable handle, closed when the object goes.
class InheritedFile {
public:
    InheritedFile(const std::string& path, DWORD access, DWORD creation) {
        SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
        handle_ = ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                &attributes, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~InheritedFile() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    InheritedFile(const InheritedFile&) = delete;
    InheritedFile& operator=(const InheritedFile&) = delete;
    HANDLE get() const { return handle_; }
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

HANDLE Process(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

} // namespace

ConsoleProcess::~ConsoleProcess() {
    if (Running()) Kill();
    if (handle_ != -1) ::CloseHandle(Process(handle_));
}

bool ConsoleProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& outputPath, const std::string& errorPath) {
    std::string commandLine = Quote(program);
    for (const std::string& argument : arguments) commandLine += " " + Quote(argument);
    InheritedFile input("NUL", GENERIC_READ, OPEN_EXISTING);
    InheritedFile output(outputPath, GENERIC_WRITE, CREATE_ALWAYS);
    InheritedFile error(errorPath, GENERIC_WRITE, CREATE_ALWAYS);
    if (!input.ok() || !output.ok() || !error.ok()) return false;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = error.get();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP,
                          nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    handle_ = reinterpret_cast<std::intptr_t>(info.hProcess);
    id_ = info.dwProcessId;
    ended_ = false;
    exitCode_ = -1;
    return true;
}

bool ConsoleProcess::Interrupt() {
    return Running() && ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(id_)) != FALSE;
}

bool ConsoleProcess::Running() {
    if (handle_ == -1 || ended_) return false;
    if (::WaitForSingleObject(Process(handle_), 0) == WAIT_TIMEOUT) return true;
    DWORD code = 0;
    ended_ = true;
    exitCode_ = ::GetExitCodeProcess(Process(handle_), &code) ? static_cast<int>(code) : -1;
    return false;
}

int ConsoleProcess::Wait() {
    if (Running() && ::WaitForSingleObject(Process(handle_), 60 * 1000) == WAIT_TIMEOUT) {
        Kill();
        return -1;
    }
    Running();
    return exitCode_;
}

void ConsoleProcess::Kill() {
    ::TerminateProcess(Process(handle_), 1);
    ::WaitForSingleObject(Process(handle_), INFINITE);
    ended_ = true;
    exitCode_ = -1;
}
