// What the installer needs from the system it runs on. The installation logic
// talks only to this interface: the Windows build passes the real system
// (Win32InstallerHost), tests pass a scripted stand-in that records every
// message box, dialog, shortcut and shell call and answers each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class WindowSystem;

// Message-box flags: the OK button with one icon.
inline constexpr unsigned kMessageError = 0x10;
inline constexpr unsigned kMessageWarning = 0x30;
inline constexpr unsigned kMessageInformation = 0x40;
// Other button sets with their icon, as the installation sequence asks.
inline constexpr unsigned kMessagePlain = 0x0;          // OK, no icon
inline constexpr unsigned kMessageYesNoError = 0x14;    // Yes and No, error icon
inline constexpr unsigned kMessageYesNoQuestion = 0x24; // Yes and No, question icon
inline constexpr unsigned kMessageOkCancelInfo = 0x41;  // OK and Cancel, information icon

// Button ids a message box returns.
inline constexpr int kButtonOk = 1;
inline constexpr int kButtonCancel = 2;
inline constexpr int kButtonYes = 6;
inline constexpr int kButtonNo = 7;

// Show command of a normal window (shortcuts and started programs).
inline constexpr int kShowNormal = 1;

// The registry root of a key the installer reads or writes: the local
// machine's, or the current user's.
enum class RegistryScope { Machine, CurrentUser };

// The root of an installation for the current user only, or for the machine.
constexpr RegistryScope RegistryScopeOf(bool perUser) {
    return perUser ? RegistryScope::CurrentUser : RegistryScope::Machine;
}

// One value to write: a string, or a 32-bit number (REG_DWORD).
struct RegistryValue {
    std::string name;
    std::string text;
    std::uint32_t number = 0;
    bool isNumber = false;

    bool operator==(const RegistryValue&) const = default;
};

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

    // Runs the installation options dialog, without owner window, under
    // caption. directory and options hold the proposed values on entry; they
    // are replaced by the user's choice only when the dialog ends with OK,
    // which is what the result says. A host without the dialog returns false
    // and leaves both unchanged.
    virtual bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) = 0;
    // The default value of the App Paths key of the executable fileName under
    // the local machine's root: the full path an earlier installation
    // registered. Empty when the key cannot be opened or the value not read.
    virtual std::string RegisteredAppPath(const std::string& fileName) = 0;
    // The string value name ("" for the key's default value) of keyPath
    // under the root of scope; empty when the key or value cannot be read.
    virtual std::string ReadRegistryString(RegistryScope scope, const std::string& keyPath,
                                           const std::string& name) = 0;
    // Creates keyPath under the root of scope when needed and writes values.
    // False when the key cannot be created or a value not written (the
    // reason left in the thread's last error).
    virtual bool WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                                     const std::vector<RegistryValue>& values) = 0;
    // Deletes keyPath under the root of scope with its values and sub keys;
    // true when it is gone (also when it was never there).
    virtual bool DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) = 0;
    // The file-system path of the shell's special folder csidl; empty when
    // the shell cannot resolve it.
    virtual std::string SpecialFolderPath(int csidl) = 0;
    // Writes the shortcut file linkPath (creating its missing directories)
    // pointing at target with a normal window and nothing else. On false the
    // reason is left in the thread's last error.
    virtual bool SaveShortcut(const std::string& linkPath, const std::string& target) = 0;
    // The path the shortcut file linkPath points at; empty when the file
    // cannot be read as a shortcut.
    virtual std::string ShortcutTarget(const std::string& linkPath) = 0;
    // Opens path with the shell's "open" verb, without owner window,
    // parameters or directory, in a normal window. False when the shell
    // refused (its result below 32), the reason left in the last error.
    virtual bool ShellOpen(const std::string& path) = 0;
    // Shows the extraction's progress in a small window under caption: the
    // file being extracted and doneBytes of totalBytes. The first call opens
    // the window; a host that cannot show it carries on without.
    virtual void ShowProgress(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                              std::uint64_t totalBytes) = 0;
    // Closes the progress window, if one is open.
    virtual void CloseProgress() = 0;
    // Starts program with arguments (the text after its quoted path) and
    // does not wait for it. False when it cannot be started.
    virtual bool StartProgram(const std::string& program, const std::string& arguments) = 0;
    // Waits at most milliseconds for the process processId to end; true when
    // it has ended (or never existed).
    virtual bool WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) = 0;
    // Milliseconds since some fixed moment; never goes back.
    virtual std::uint64_t Milliseconds() = 0;
    // The top-level windows and processes of the session.
    virtual WindowSystem& Windows() = 0;
};
