// What the installer shows its user: message boxes, the installation options
// dialog and the extraction's progress window. The Windows build shows them
// (Win32InstallerUi), an installation under "/S" turns them into lines of
// its log (UnattendedUi), and tests pass a scripted stand-in that records
// each and answers as a user would.
#pragma once

#include "app/host_types.h"

#include <cstdint>
#include <string>

class InstallerUi {
public:
    // Shows a modal message box without owner window and returns the id of
    // the button that closed it.
    virtual int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // Runs the installation options dialog, without owner window, under
    // caption. directory and options hold the proposed values on entry; they
    // are replaced by the user's choice only when the dialog ends with OK,
    // which is what the result says. A user interface without the dialog
    // returns false and leaves both unchanged.
    virtual bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) = 0;
    // Shows the extraction's progress in a small window under caption: the
    // file being extracted and doneBytes of totalBytes. The first call opens
    // the window; one that cannot be shown is done without.
    virtual void ShowProgress(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                              std::uint64_t totalBytes) = 0;
    // Closes the progress window, if one is open.
    virtual void CloseProgress() = 0;

protected:
    // Never destroyed through this interface: its owners hold the concrete
    // objects, and a virtual destructor would cost every installer a few
    // entries in each implementation's table.
    ~InstallerUi() = default;
};
