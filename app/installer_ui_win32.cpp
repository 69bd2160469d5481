#include "app/installer_ui_win32.h"

#include "app/install_options_dialog.h"
#include "common/windows_api.h"

int Win32InstallerUi::ShowMessage(const std::string& text, const std::string& caption, unsigned flags) {
    return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

bool Win32InstallerUi::RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) {
    InstallOptionsDialog dialog(nullptr);
    dialog.SetCaption(caption);
    dialog.SetDirectory(directory);
    dialog.SetOptions(options);
    if (dialog.DoModal() != Dialog::kOk) return false;
    directory = dialog.Directory();
    options = dialog.Options();
    return true;
}

void Win32InstallerUi::ShowProgress(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                                    std::uint64_t totalBytes) {
    progress_.Show(caption, fileName, doneBytes, totalBytes);
}

void Win32InstallerUi::CloseProgress() { progress_.Close(); }
