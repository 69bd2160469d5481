// The user interface of an installation under "/S", which opens no window:
// message boxes become lines of the installation message list, the options
// dialog and the progress window are never shown.
#pragma once

#include "app/installer_ui.h"

class UnattendedUi final : public InstallerUi {
public:
    // Appends text, one entry per line, to the installation message list and
    // answers as a user who declines: No for Yes/No, Cancel for OK/Cancel,
    // otherwise OK. The installation asks no question under "/S"; the
    // answers only make sure that a question asked by mistake stops it.
    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override;
    // Always false: the caller keeps the proposed directory and options.
    bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) override;
    void ShowProgress(const std::string&, const std::string&, std::uint64_t, std::uint64_t) override {}
    void CloseProgress() override {}
};
