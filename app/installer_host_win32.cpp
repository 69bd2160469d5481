#include "app/installer_host_win32.h"

#include "common/system_info.h"
#include "common/windows_api.h"

int Win32InstallerHost::ShowMessage(const std::string& text, const std::string& caption, unsigned flags) {
    return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

std::string Win32InstallerHost::ModulePath() { return GetModulePath(); }

std::string Win32InstallerHost::RawCommandLine() {
    const char* line = ::GetCommandLineA();
    return line != nullptr ? line : "";
}
