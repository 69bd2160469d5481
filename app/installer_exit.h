// The installer's process exit codes: what a script that started it learns
// of the run. One code per class of failure, the same with and without "/S".
#pragma once

enum class InstallerExit : int {
    Installed = 0,          // installed or updated; also a run that only showed "-c" or "-v"
    BadCommandLine = 1,     // an unknown option, or a "/D=" without an absolute directory
    ArchiveNotLoaded = 2,   // the installer's own archive cannot be read
    DirectoryFailed = 3,    // the installation directory cannot be made, or a path would be too long
    ApplicationRunning = 4, // windows of the application are open (under "/S" they are never closed)
    ExtractionFailed = 5,   // a file could not be extracted or verified
    ShortcutsFailed = 6,    // every file installed, but a shortcut could not be made
    Canceled = 7,           // the user said no (never under "/S")
    UninstallerFailed = 8,  // every file installed, but the uninstaller or its entry could not be written
    ForeignFolder = 9,      // the directory holds the uninstaller of another application: nothing written
};

// What each code means, in the words of the usage text, indexed by the code.
inline constexpr const char* kInstallerExitMeanings[] = {
    "installed",         "bad command line", "archive not loaded", "folder not created", "application running",
    "extraction failed", "shortcuts failed", "canceled",           "uninstaller failed", "another application's folder",
};

inline const char* InstallerExitMeaning(InstallerExit exit) { return kInstallerExitMeanings[static_cast<int>(exit)]; }
