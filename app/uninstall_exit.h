// The uninstaller's process exit codes. They share their numbers with the
// installer's codes of the same class (installer_exit.h), so that a script
// reads both alike, but they are the uninstaller's own: no code means one
// thing here and another there.
#pragma once

enum class UninstallExit : int {
    Removed = 0,            // everything recorded is gone (or was gone already)
    BadCommandLine = 1,     // an option other than "/S"
    RecordRefused = 2,      // the record is unreadable, refused, or names another directory
    ApplicationRunning = 4, // windows of the application are open (under "/S" they are never closed)
    NotRemoved = 5,         // a file, link or registry key could not be removed
    Canceled = 7,           // the user said no (never under "/S")
};

// What each code means, for the log of a silent run.
inline constexpr struct {
    UninstallExit code;
    const char* meaning;
} kUninstallExitMeanings[] = {
    {UninstallExit::Removed, "removed"},
    {UninstallExit::BadCommandLine, "bad command line"},
    {UninstallExit::RecordRefused, "uninstall record refused"},
    {UninstallExit::ApplicationRunning, "application running"},
    {UninstallExit::NotRemoved, "not everything removed"},
    {UninstallExit::Canceled, "canceled"},
};

inline const char* UninstallExitMeaning(UninstallExit exit) {
    for (const auto& entry : kUninstallExitMeanings)
        if (entry.code == exit) return entry.meaning;
    return "";
}
