// The host of an installation under "/S": the real host for everything but
// what would open a window. Message boxes become lines of the installation
// message list, the options dialog and the progress window are never shown.
#pragma once

#include "app/installer_host.h"

class UnattendedHost : public InstallerHost {
public:
    // system must outlive the object.
    explicit UnattendedHost(InstallerHost& system) : system_(system) {}

    // Appends text, one entry per line, to the installation message list and
    // answers as a user who declines: No for Yes/No, Cancel for OK/Cancel,
    // otherwise OK. The installation asks no question under "/S"; the
    // answers only make sure that a question asked by mistake stops it.
    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override;
    // Always false: the caller keeps the proposed directory and options.
    bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) override;
    void ShowProgress(const std::string&, const std::string&, std::uint64_t, std::uint64_t) override {}
    void CloseProgress() override {}

    std::string ModulePath() override { return system_.ModulePath(); }
    std::string RawCommandLine() override { return system_.RawCommandLine(); }
    std::string RegisteredAppPath(const std::string& fileName) override { return system_.RegisteredAppPath(fileName); }
    std::string ReadRegistryString(RegistryScope scope, const std::string& keyPath, const std::string& name) override {
        return system_.ReadRegistryString(scope, keyPath, name);
    }
    bool WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                             const std::vector<RegistryValue>& values) override {
        return system_.WriteRegistryValues(scope, keyPath, values);
    }
    bool DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) override {
        return system_.DeleteRegistryKey(scope, keyPath);
    }
    std::string SpecialFolderPath(int csidl) override { return system_.SpecialFolderPath(csidl); }
    bool SaveShortcut(const std::string& linkPath, const std::string& target) override {
        return system_.SaveShortcut(linkPath, target);
    }
    std::string ShortcutTarget(const std::string& linkPath) override { return system_.ShortcutTarget(linkPath); }
    bool ShellOpen(const std::string& path) override { return system_.ShellOpen(path); }
    bool StartProgram(const std::string& program, const std::string& arguments) override {
        return system_.StartProgram(program, arguments);
    }
    bool WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override {
        return system_.WaitForProcessEnd(processId, milliseconds);
    }
    std::uint64_t Milliseconds() override { return system_.Milliseconds(); }
    WindowSystem& Windows() override { return system_.Windows(); }

private:
    InstallerHost& system_;
};
