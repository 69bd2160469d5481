#include "tests/tools/captured_run.h"

#include "common/path.h"
#include "common/windows_api.h"
#include "tests/support/process.h"

namespace {

// An inheritable handle, closed when the object goes.
class InheritedFile {
public:
    InheritedFile(const std::string& path, DWORD access, DWORD creation) {
        SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, TRUE};
        handle_ = ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, creation,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
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

} // namespace

CapturedRun RunCaptured(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& scratchDirectory) {
    const std::string outPath = BuildPath(scratchDirectory, "captured", "out");
    const std::string errPath = BuildPath(scratchDirectory, "captured", "err");
    CapturedRun run;
    std::string commandLine = QuoteArgument(program);
    for (const std::string& argument : arguments) commandLine += " " + QuoteArgument(argument);
    {
        InheritedFile input("NUL", GENERIC_READ, OPEN_EXISTING);
        InheritedFile output(outPath, GENERIC_WRITE, CREATE_ALWAYS);
        InheritedFile error(errPath, GENERIC_WRITE, CREATE_ALWAYS);
        if (!input.ok() || !output.ok() || !error.ok()) return run;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.get();
        startup.hStdOutput = output.get();
        startup.hStdError = error.get();
        PROCESS_INFORMATION info{};
        if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &info))
            return run;
        ::CloseHandle(info.hThread);
        DWORD code = 0;
        if (::WaitForSingleObject(info.hProcess, INFINITE) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(info.hProcess, &code))
            run.exitCode = static_cast<int>(code);
        ::CloseHandle(info.hProcess);
    }
    run.out = captured_run_detail::ReadWithoutCarriageReturns(outPath);
    run.err = captured_run_detail::ReadWithoutCarriageReturns(errPath);
    return run;
}
