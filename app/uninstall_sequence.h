// The uninstaller's run: the program's own file ends with the record of what
// one installation made (uninstall/uninstall_record.h), and the run removes
// exactly that. A damaged, foreign or hostile record removes nothing.
#pragma once

#include "app/installer_exit.h"
#include "app/installer_host.h"

#include <string>

// True when the file at path ends with an uninstall record's trailer.
bool IsUninstallerFile(const std::string& path);

// Reads the record of the program's own file and answers the command line:
// "/S" removes without asking or showing anything; "/_remove=PID:PATH" is the
// copy in the temporary directory that waits for process PID (the
// uninstaller that started it) to end, then deletes PATH when it is an
// uninstaller, and its directory when that is then empty. Without "/S" the
// user confirms first and is asked to close running instances.
//
// The removal: every recorded file of the installation directory (the
// program's own directory), every recorded link, the application's App
// Paths key when it points into the directory, the uninstall entry, then the
// folders left empty. Files the installation did not make stay, and the
// result says so. The uninstaller cannot delete its own running file: at the
// end it starts a copy of itself in the temporary directory with "/_remove=".
//
// Exit codes: Installed (0) removed, BadCommandLine, ArchiveNotLoaded (the
// record is unreadable or refused), ApplicationRunning (under "/S"),
// ExtractionFailed (a file or link could not be removed), Canceled.
InstallerExit RunUninstall(InstallerHost& host, bool silent);

// What each exit code of the uninstaller means, for its log.
const char* UninstallExitMeaning(InstallerExit exit);
