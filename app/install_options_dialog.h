// The installer's one dialog: the installation directory (typed or chosen in
// the folder browser) and the options the archive offers. Windows code only.
//
// The caller sets the caption, the proposed directory and the archive's
// options word, runs DoModal and, after OK, reads the directory and the
// options word back. Only the checked bits of the shown and hidden options
// change; Cancel leaves everything as it was.
#pragma once

#include "archive/install_options.h"
#include "ui/dialog.h"
#include "ui/hyperlink_label.h"

#include <cstdint>
#include <string>

// Resource and control ids of the dialog template.
inline constexpr int kOptionsDialogTemplate = 129;
inline constexpr int kDirectoryEdit = 1000;
inline constexpr int kBrowseButton = 1001;
inline constexpr int kVersionLabel = 1007;

class InstallOptionsDialog : public Dialog {
public:
    explicit InstallOptionsDialog(HWND__* parent = nullptr);

    void SetCaption(const std::string& caption) { caption_ = caption; }
    void SetDirectory(const std::string& directory) { directory_ = directory; }
    void SetOptions(std::uint32_t options) { options_ = options; }
    const std::string& Directory() const { return directory_; }
    std::uint32_t Options() const { return options_; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& exchange) override;
    void OnCommand(int id, int code) override;
    void OnOK() override;

private:
    // Reads the controls and enables OK exactly when the directory is not empty.
    void UpdateOkButton();
    // Lets the user pick the directory below Program Files.
    void OnBrowse();

    HyperlinkLabel label_;
    std::string directory_;
    InstallOptionStates states_{};
    std::string versionLabel_;
    std::string caption_;
    std::uint32_t options_ = 0;
};
