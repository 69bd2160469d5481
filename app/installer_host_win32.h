// The installer's services on Windows: the real system calls.
#pragma once

#include "app/installer_host.h"

class Win32InstallerHost : public InstallerHost {
public:
    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override;
    std::string ModulePath() override;
    std::string RawCommandLine() override;
};
