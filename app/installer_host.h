// What the installer needs from the system it runs on. The installation logic
// talks only to this interface: the Windows build passes the real system
// (Win32InstallerHost), tests pass a scripted stand-in that records every
// message box and answers it.
//
// The installation sequence will add its services here: the options dialog,
// the registry read of the registered path, special folders, shortcut saving,
// shell execution and the enumeration of top-level windows.
#pragma once

#include <string>

// Message-box flags: the OK button with one icon.
inline constexpr unsigned kMessageError = 0x10;
inline constexpr unsigned kMessageWarning = 0x30;
inline constexpr unsigned kMessageInformation = 0x40;

// Button ids a message box returns.
inline constexpr int kButtonOk = 1;
inline constexpr int kButtonCancel = 2;
inline constexpr int kButtonYes = 6;
inline constexpr int kButtonNo = 7;

class InstallerHost {
public:
    virtual ~InstallerHost() = default;

    // Shows a modal message box without owner window and returns the id of
    // the button that closed it.
    virtual int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // The full path of the program's own executable; empty when unknown.
    virtual std::string ModulePath() = 0;
    // The command line of the process as the system holds it.
    virtual std::string RawCommandLine() = 0;
};
