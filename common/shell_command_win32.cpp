#include "common/shell_command.h"

#include "common/environment.h"
#include "common/windows_api.h"

#include <vector>

std::string QuoteForShell(const std::string& path) { return "\"" + path + "\""; }

bool RunShellCommand(const std::string& command, int& exitCode) {
    std::string shell = GetEnvironmentValue("ComSpec");
    if (shell.empty()) shell = "cmd.exe";
    // "/s /c" takes the text between the first and the last quote as the
    // command line exactly as the user wrote it; "/d" skips AutoRun commands.
    std::string line = "\"" + shell + "\" /d /s /c \"" + command + "\"";
    std::vector<char> writable(line.begin(), line.end());
    writable.push_back('\0');

    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE input =
        ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = ::GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    const BOOL started =
        ::CreateProcessA(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    const DWORD startError = ::GetLastError();
    if (input != INVALID_HANDLE_VALUE) ::CloseHandle(input);
    if (!started) {
        ::SetLastError(startError);
        return false;
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    const BOOL known = ::GetExitCodeProcess(process.hProcess, &code);
    const DWORD waitError = ::GetLastError();
    ::CloseHandle(process.hProcess);
    if (!known) {
        ::SetLastError(waitError);
        return false;
    }
    exitCode = static_cast<int>(code);
    return true;
}
