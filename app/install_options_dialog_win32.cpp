#include "app/install_options_dialog.h"

#include "app/folder_browser.h"
#include "app/installer_startup.h"
#include "common/string_format.h"
#include "common/windows_api.h"
#include "win32/shell_link.h"

namespace {

// The version label is grey: it informs, it is not a control to use.
constexpr LabelColour kVersionLabelColour = 0x808080;

} // namespace

InstallOptionsDialog::InstallOptionsDialog(HWND parent) : Dialog(kOptionsDialogTemplate, parent) {}

bool InstallOptionsDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Window(), caption_.c_str());
    label_.SetTextColor(kVersionLabelColour);
    versionLabel_ = StringFormat("ZorInstaller ver %u.%u", static_cast<unsigned>(kInstallerVersionMajor),
                                 static_cast<unsigned>(kInstallerVersionMinor));
    states_ = CheckStatesOf(options_);
    for (const InstallOption& option : kInstallOptions)
        ::ShowWindow(Item(option.controlId), IsOptionShown(options_, option) ? SW_SHOW : SW_HIDE);
    UpdateData(false);
    UpdateOkButton();
    return true;
}

void InstallOptionsDialog::DoDataExchange(DataExchange& exchange) {
    exchange.Control(kVersionLabel, label_);
    exchange.Text(kDirectoryEdit, directory_);
    for (std::size_t i = 0; i < kInstallOptionCount; ++i) exchange.Check(kInstallOptions[i].controlId, states_[i]);
    exchange.Text(kVersionLabel, versionLabel_);
}

void InstallOptionsDialog::OnCommand(int id, int code) {
    if (id == kDirectoryEdit && code == EN_CHANGE)
        UpdateOkButton();
    else if (id == kBrowseButton && code == BN_CLICKED)
        OnBrowse();
}

void InstallOptionsDialog::OnOK() {
    UpdateData(true);
    options_ = WithCheckStates(options_, states_);
    EndDialog(kOk);
}

void InstallOptionsDialog::UpdateOkButton() {
    UpdateData(true);
    ::EnableWindow(Item(kOk), directory_.empty() ? FALSE : TRUE);
}

void InstallOptionsDialog::OnBrowse() {
    FolderBrowser browser;
    browser.rootFolder = GetSpecialFolderPath(kFolderProgramFiles);
    browser.flags &= ~FolderBrowser::kNoNewFolderButton;
    if (browser.Browse(nullptr) != 1) return;
    UpdateData(true);
    directory_ = browser.resultPath;
    UpdateData(false);
}
