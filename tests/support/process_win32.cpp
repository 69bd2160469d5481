#include "tests/support/process.h"

#include "common/windows_api.h"

#include <optional>

namespace {

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

// Starts commandLine in a new process group (which Interrupt needs), its
// standard input empty and its output and error going to the two paths when
// outputPath is given; false when it cannot be started.
bool CreateChild(const std::string& program, std::string commandLine, const std::string& outputPath,
                 const std::string& errorPath, PROCESS_INFORMATION& info) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::optional<InheritedFile> input, output, error;
    const bool redirected = !outputPath.empty();
    if (redirected) {
        input.emplace("NUL", GENERIC_READ, OPEN_EXISTING);
        output.emplace(outputPath, GENERIC_WRITE, CREATE_ALWAYS);
        error.emplace(errorPath, GENERIC_WRITE, CREATE_ALWAYS);
        if (!input->ok() || !output->ok() || !error->ok()) return false;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input->get();
        startup.hStdOutput = output->get();
        startup.hStdError = error->get();
    }
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, redirected ? TRUE : FALSE,
                          CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    return true;
}

} // namespace

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

ChildProcess::~ChildProcess() {
    if (Running()) Kill();
    if (handle_ != -1) ::CloseHandle(Process(handle_));
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& outputPath, const std::string& errorPath) {
    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);
    PROCESS_INFORMATION info{};
    if (!CreateChild(program, commandLine, outputPath, errorPath, info)) return false;
    Adopt(reinterpret_cast<std::intptr_t>(info.hProcess), info.dwProcessId);
    return true;
}

bool ChildProcess::StartWithRawArguments(const std::string& program, const std::string& rawArguments) {
    const std::string commandLine = QuoteArgument(program) + (rawArguments.empty() ? "" : " ") + rawArguments;
    PROCESS_INFORMATION info{};
    if (!CreateChild(program, commandLine, {}, {}, info)) return false;
    Adopt(reinterpret_cast<std::intptr_t>(info.hProcess), info.dwProcessId);
    return true;
}

void ChildProcess::Adopt(std::intptr_t handle, unsigned id) {
    if (handle_ != -1) ::CloseHandle(Process(handle_));
    handle_ = handle;
    id_ = id;
    ended_ = false;
    exitCode_ = -1;
}

bool ChildProcess::Interrupt() {
    if (!Running()) return false;
    if (::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, static_cast<DWORD>(id_))) return true;
    // Nothing to send it through: end the program rather than wait for it.
    Kill();
    return false;
}

bool ChildProcess::Running() {
    if (handle_ == -1 || ended_) return false;
    if (::WaitForSingleObject(Process(handle_), 0) == WAIT_TIMEOUT) return true;
    DWORD code = 0;
    ended_ = true;
    exitCode_ = ::GetExitCodeProcess(Process(handle_), &code) ? static_cast<int>(code) : -1;
    return false;
}

int ChildProcess::Wait() { return Wait(std::chrono::milliseconds(INFINITE)); }

int ChildProcess::Wait(std::chrono::milliseconds limit) {
    if (Running() && ::WaitForSingleObject(Process(handle_), static_cast<DWORD>(limit.count())) == WAIT_TIMEOUT) {
        Kill();
        return -1;
    }
    Running();
    return exitCode_;
}

void ChildProcess::Kill() {
    ::TerminateProcess(Process(handle_), 1);
    ::WaitForSingleObject(Process(handle_), INFINITE);
    ended_ = true;
    exitCode_ = -1;
}
