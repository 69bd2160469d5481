// The installer's user interface on Windows: message boxes, the options
// dialog and the progress window, each without owner window.
#pragma once

#include "app/installer_ui.h"
#include "app/progress_window.h"

class Win32InstallerUi final : public InstallerUi {
public:
    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override;
    bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) override;
    void ShowProgress(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                      std::uint64_t totalBytes) override;
    void CloseProgress() override;

private:
    ProgressWindow progress_;
};
