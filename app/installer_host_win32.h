// The installer's services on Windows: the real system calls.
#pragma once

#include "app/installer_host.h"
#include "app/progress_window.h"
#include "app/window_search_win32.h"

class Win32InstallerHost : public InstallerHost {
public:
    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override;
    std::string ModulePath() override;
    std::string RawCommandLine() override;
    bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) override;
    std::string RegisteredAppPath(const std::string& fileName) override;
    std::string ReadRegistryString(RegistryScope scope, const std::string& keyPath, const std::string& name) override;
    bool WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                             const std::vector<RegistryValue>& values) override;
    bool DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) override;
    std::string SpecialFolderPath(int csidl) override;
    bool StartProgram(const std::string& program, const std::string& arguments) override;
    bool WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override;
    bool SaveShortcut(const std::string& linkPath, const std::string& target) override;
    std::string ShortcutTarget(const std::string& linkPath) override;
    bool ShellOpen(const std::string& path) override;
    void ShowProgress(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                      std::uint64_t totalBytes) override;
    void CloseProgress() override;
    std::uint64_t Milliseconds() override;
    WindowSystem& Windows() override { return windows_; }

private:
    Win32WindowSystem windows_;
    ProgressWindow progress_;
};
