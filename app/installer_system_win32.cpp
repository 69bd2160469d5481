#include "app/installer_system_win32.h"

#include "common/system_info.h"
#include "common/windows_api.h"
#include "win32/registry.h"
#include "win32/shell_link.h"

#include <shellapi.h>

#include <vector>

namespace {

// ShellExecuteA reports failure with a value below this one.
constexpr INT_PTR kShellExecuteFirstSuccess = 32;

HKEY RootOf(RegistryScope scope) { return scope == RegistryScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

} // namespace

std::string Win32InstallerSystem::ModulePath() { return GetModulePath(); }

std::string Win32InstallerSystem::RawCommandLine() {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? line : "";
}

std::string Win32InstallerSystem::ReadRegistryString(RegistryScope scope, const std::string& keyPath,
                                                     const std::string& name, std::size_t bufferSize) {
    CRegistry key(RootOf(scope), keyPath.c_str(), "", KEY_READ);
    std::vector<char> buffer(bufferSize);
    if (!key.Open() ||
        !key.QueryValue(name.empty() ? nullptr : name.c_str(), buffer.data(), static_cast<DWORD>(bufferSize)))
        return {};
    return buffer.data();
}

bool Win32InstallerSystem::WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                                               const std::vector<RegistryValue>& values) {
    // The registry calls return their error instead of setting the thread's.
    CRegistry key(RootOf(scope), keyPath.c_str());
    bool written = key.Open(true);
    for (std::size_t i = 0; written && i < values.size(); ++i) {
        const RegistryValue& value = values[i];
        const char* name = value.name.empty() ? nullptr : value.name.c_str();
        written =
            value.isNumber ? key.SetValue(name, static_cast<DWORD>(value.number)) : key.SetValue(name, value.text);
    }
    if (!written) ::SetLastError(key.LastError());
    return written;
}

bool Win32InstallerSystem::DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) {
    const std::size_t last = keyPath.rfind('\\');
    if (last == std::string::npos) return false;
    CRegistry parent(RootOf(scope), keyPath.substr(0, last).c_str());
    if (!parent.Open()) return true; // no parent, no key
    const std::string name = keyPath.substr(last + 1);
    return parent.DeleteKeyAndSubKeys(name.c_str()) || !parent.FindSubKey(name.c_str());
}

std::string Win32InstallerSystem::SpecialFolderPath(int csidl) { return GetSpecialFolderPath(csidl); }

bool Win32InstallerSystem::StartProgram(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return false;
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return true;
}

bool Win32InstallerSystem::WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) {
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr) return true; // gone already
    const bool ended = ::WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

bool Win32InstallerSystem::SaveShortcut(const std::string& linkPath, const std::string& target) {
    bool saved = false;
    DWORD error = 0;
    {
        ShellLink link;
        saved = link.Create(linkPath) &&
                link.SetInfo(target.c_str(), nullptr, nullptr, nullptr, nullptr, 0, kShowNormal) && link.Save();
        error = ::GetLastError();
    }
    // Releasing the link object must not replace the reason of a failure.
    ::SetLastError(error);
    return saved;
}

std::string Win32InstallerSystem::ShortcutTarget(const std::string& linkPath) {
    ShellLink link;
    std::string target;
    if (!link.Create(linkPath) || !link.Load() ||
        !link.GetInfo(&target, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr))
        return {};
    return target;
}

std::uint64_t Win32InstallerSystem::Milliseconds() { return ::GetTickCount64(); }

bool Win32InstallerSystem::ShellOpen(const std::string& path) {
    const HINSTANCE result = ::ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, kShowNormal);
    return reinterpret_cast<INT_PTR>(result) >= kShellExecuteFirstSuccess;
}
