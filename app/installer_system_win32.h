// The installer's system services on Windows: the real system calls.
#pragma once

#include "app/installer_system.h"
#include "app/window_search_win32.h"

class Win32InstallerSystem final : public InstallerSystem {
public:
    std::string ModulePath() override;
    std::string RawCommandLine() override;
    std::string ReadRegistryString(RegistryScope scope, const std::string& keyPath, const std::string& name,
                                   std::size_t bufferSize = kRegistryStringBufferSize) override;
    bool WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                             const std::vector<RegistryValue>& values) override;
    bool DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) override;
    std::string SpecialFolderPath(int csidl) override;
    bool StartProgram(const std::string& program, const std::string& arguments) override;
    bool WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override;
    bool SaveShortcut(const std::string& linkPath, const std::string& target) override;
    std::string ShortcutTarget(const std::string& linkPath) override;
    bool ShellOpen(const std::string& path) override;
    std::uint64_t Milliseconds() override;
    WindowSystem& Windows() override { return windows_; }

private:
    Win32WindowSystem windows_;
};
