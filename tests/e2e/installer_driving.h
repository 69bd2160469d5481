// Driving the example application's installer under Wine from the test
// process, as a user would: its options dialog, its message boxes, the links
// it makes and the App Paths key an installed application registers.
#pragma once

#include "common/special_folders.h"
#include "tests/support/gui_driver.h"

#include <map>
#include <string>
#include <vector>

class TempDir;

namespace e2e {

// The installers these tests build install "Hello" version 1.0.
inline constexpr char kDialogCaption[] = "Installation of Hello (1.0)";
inline constexpr char kTitle[] = "Hello installation";
inline constexpr char kHelloWindow[] = "Hello ZorInstaller";
inline constexpr int kDirectoryEdit = 1000, kAllUsersBox = 1002, kDesktopBox = 1003, kQuickLaunchBox = 1004,
                     kSessionBox = 1005, kStartAfterBox = 1006;
inline constexpr int kOk = 1, kCancel = 2, kYes = 6;
inline constexpr char kQuickLaunch[] = "Microsoft\\Internet Explorer\\Quick Launch";

// The build tree (the parent of the test program's directory).
std::string BuildDirectory();
// Where screenshots go (made on first use).
std::string ScreenshotDirectory();
void Screenshot(const DrivenWindow& window, const char* name);

// The shortcut name the installers get: unique to this run, so that links of
// earlier runs are never taken for ours.
std::string ShortcutName();
// The link of that name in a special folder (below subfolder when given).
std::string Link(int csidl, const char* subfolder = nullptr);
// Every link an installation may make, in the current user's and all users' folders.
std::vector<std::string> AllLinks();

// Writes the example application's hello.exe and readme.txt into work.
void WriteExampleFiles(const TempDir& work);

// What an installed application records so that its next installer finds it:
// App Paths under the machine's root, or (per-user installations) under the
// current user's.
void Register(const std::string& executable);
void RegisterForCurrentUser(const std::string& executable);
// Removes every link of AllLinks and both registrations, so that a test
// starts and ends with no trace of an installation.
void RemoveShortcutsAndRegistration();

// Waits for a message box of the installer that is not `previous`, checks
// its text and caption, takes its picture (shot, unless null) and presses
// button; returns its handle.
void* Answer(const std::string& caption, const std::string& text, int button, const char* shot,
             void* previous = nullptr);

// Fills in the options dialog: the directory, and each check box set to the
// state given.
struct Choice {
    std::string directory;
    bool allUsers, desktop, quickLaunch, session, startAfter;
};
void ChooseInDialog(const Choice& choice, const char* shot = nullptr);

// Every file of the installer is in directory with the bytes of its source
// (the same relative name below sources), its last-write time and the digest
// the installer carries; expectedCount files in all.
void ExpectInstalled(const std::string& installer, const std::string& sources, const std::string& directory,
                     std::size_t expectedCount);

// The link exists and its target is the installed executable.
void ExpectLinkTo(const std::string& link, const std::string& target);

// Waits for the application's window, closes it and waits until it has gone.
void CloseHello();

// Runs program with rawArguments after its quoted path and waits: its exit
// code, -1 when it could not be started.
int RunToEnd(const std::string& program, const std::string& rawArguments);

// True once path (a file or a folder) is gone, waiting at most milliseconds:
// the uninstaller's copy deletes its file and, emptied, the folder after
// the uninstaller has ended.
bool GoneWithin(const std::string& path, int milliseconds);

// The values of the uninstall entry named key under the machine's root, as
// text: strings as they are, numbers in decimal. Empty when there is none.
std::map<std::string, std::string> UninstallEntry(const std::string& key);
// Deletes that entry.
void RemoveUninstallEntry(const std::string& key);

} // namespace e2e
