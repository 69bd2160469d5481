// The uninstaller's run: the program's own file ends with the record of what
// one installation made, or keeps it beside it in uninstall.dat
// (uninstall/uninstall_record.h), and the run removes
// exactly that, from the installation's directory only. A damaged, foreign
// or hostile record removes nothing.
#pragma once

#include "app/installer_system.h"
#include "app/installer_ui.h"
#include "app/program_arguments.h"
#include "app/uninstall_exit.h"

#include <string>

// True for a program file named as the uninstaller an installation leaves
// (its file name, any letter case): such a file that carries no record is a
// damaged uninstaller, not an installer.
bool HasUninstallerName(const std::string& path);

// Reads the record of the program's own file and answers the command line.
//
// In the installation directory the record names (however spelled): "/S"
// removes without asking or showing anything; without it the user confirms
// first and is asked to close running instances. The removal: every recorded
// file of the directory, every recorded link that still points into the
// directory, the application's App Paths key when it points into it, the
// uninstall entry when its InstallLocation is the directory, then the
// folders left empty and a record beside the uninstaller. Files, links and
// keys of other installations, and files the installation did not make,
// stay; the result says so. A running
// program cannot delete its own file: after a complete removal it starts a
// copy of itself, with the record at its end, in the temporary directory
// with "/_remove=PID:PATH".
//
// Anywhere else, such as that copy, it removes nothing, and accepts only
// "/_remove=PID:PATH", which waits for process PID (the uninstaller that
// started it) to end, then deletes PATH when it is the uninstaller of the
// recorded directory and no recorded file is left there, and the directory
// when that is then empty.
UninstallExit RunUninstall(InstallerUi& ui, InstallerSystem& system, const ProgramArguments& arguments);
