// Whom an installation is for, as the archive's extension block says: the
// whole machine (no "scope" pair, every installer built before the key) or
// the current user only ("scope" = "per-user"). A per-user installer runs
// without elevation, so everything it proposes and writes stays within what
// the user may change: a folder below the user's local application data,
// the user's own shortcut folders and registry root.
#pragma once

#include "app/host_types.h"

#include <string>

class InstallerArchive;

// The proposed installation directory of a per-user installer whose block
// names no "install-dir" template, and of a machine installer that names a
// publisher or leaves an uninstaller: one folder per product, so that two
// products of one publisher never share their files or their uninstaller.
inline constexpr char kPerUserInstallDirTemplate[] = "{LocalAppData}\\Programs\\{AppName}";
inline constexpr char kProductInstallDirTemplate[] = "{ProgramFiles}\\{Publisher}\\{AppName}";

// True when archive installs for the current user only.
bool IsPerUserInstaller(const InstallerArchive& archive);

// The registry root of the installation's uninstall entry and of the App
// Paths key looked up first.
RegistryScope InstallationScope(const InstallerArchive& archive);

// The uninstall key the archive's extension block names; empty when the
// installation leaves no uninstaller.
std::string UninstallKeyOf(const InstallerArchive& archive);

// For a per-user installer, clears both bits of the all-users option in the
// archive's options word: the option is neither offered in the options
// dialog nor applied to the shortcuts, under "/S" as well. A machine
// installer's word is left as it is.
void ApplyInstallationScope(InstallerArchive& archive);

// The template of the proposed directory when the block names none: the
// per-user default for a per-user installer, the product's own folder for a
// machine installer with a publisher or an uninstaller, and empty (the
// default publisher's folder below Program Files, as installers without
// either always had it) otherwise.
std::string DefaultInstallDirTemplate(const InstallerArchive& archive);
