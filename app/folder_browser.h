// The shell's folder browser: the user picks a directory below an optional
// root folder. Windows code only.
//
// A derived class may refuse selections (ValidateSelection): the browser's OK
// button is enabled only for accepted ones, and with showStatusText the
// browser shows the status text returned for each selection.
#pragma once

#include <cstdint>
#include <string>

struct HWND__;

class FolderBrowser {
public:
    // Browse flags: file-system directories only, file-system ancestors only,
    // an edit box, the resizable dialog style, and no new-folder button.
    static constexpr unsigned kDefaultFlags = 0x259;
    static constexpr unsigned kNoNewFolderButton = 0x200;
    static constexpr unsigned kStatusTextFlag = 0x4;

    virtual ~FolderBrowser() = default;

    // Whether OK may be pressed for the selected folder (its file-system
    // path, empty when it has none); statusText is shown with showStatusText.
    // The default accepts every selection and sets no status text.
    virtual bool ValidateSelection(const std::string& path, std::string& statusText);

    // Shows the browser owned by owner (may be null) and waits for the user.
    // Returns 1 when the user chose a folder with a file-system path, which is
    // then in resultPath (and its image in imageIndex); 0 when the user
    // cancelled, the chosen item has no path, or the browser could not start
    // (no shell allocator, or a root folder the shell cannot parse).
    // initialSelection loses trailing white space and one trailing "\" or "/".
    int Browse(HWND__* owner = nullptr);

    std::string caption;          // title of the browser window; empty keeps the system's
    std::string resultPath;       // the chosen folder after Browse returned 1
    std::string rootFolder;       // the top of the tree; empty for the desktop
    std::string initialSelection; // selected when the browser opens; empty for none
    std::string instructionText;  // shown above the tree
    int imageIndex = 0;           // the system image of the chosen folder
    bool showStatusText = false;
    unsigned flags = kDefaultFlags;

private:
    static int __stdcall Callback(HWND__* window, unsigned message, std::intptr_t lParam, std::intptr_t data);
};
