// The names an installation gives what it makes on the target system, and
// the registry paths where Windows and the installed application record it.
// The builder, the installer and the uninstaller all use these: one place, so
// that what one side writes the other finds.
#pragma once

#include <string>

// The publisher, and so the Start-menu folder and the folder below Program
// Files, of an installer that names none.
inline constexpr char kDefaultPublisher[] = "ZorSoftware";

// Below the current user's application data: the quick-launch links.
inline constexpr char kQuickLaunchFolder[] = "Microsoft\\Internet Explorer\\Quick Launch";

// The uninstaller an installation leaves at the top of its directory.
inline constexpr char kUninstallerFileName[] = "uninstall.exe";
// Beside a carried uninstaller (uninstall/uninstall_record.h): its record.
inline constexpr char kUninstallRecordFileName[] = "uninstall.dat";

// Below the machine's or the current user's root: where Windows finds an
// application by its executable's file name (the key's default value is the
// executable's full path; the application writes it, the installer reads
// it), and the entries of Windows' list of installed applications.
inline constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr char kUninstallEntriesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The App Paths key of the executable fileName ("App.exe").
inline std::string AppPathsKeyOf(const std::string& fileName) { return std::string(kAppPathsKey) + "\\" + fileName; }

// The uninstall entry of the uninstall key name.
inline std::string UninstallEntryKeyOf(const std::string& key) {
    return std::string(kUninstallEntriesKey) + "\\" + key;
}

// The names of the uninstall entry's values that the installation and the
// uninstaller both read.
inline constexpr char kInstallLocationValue[] = "InstallLocation";
