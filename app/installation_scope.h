// Whom an installation is for, as the archive's extension block says: the
// whole machine (no "scope" pair, every installer built before the key) or
// the current user only ("scope" = "per-user"). A per-user installer runs
// without elevation, so everything it proposes and writes stays within what
// the user may change: a folder below the user's local application data,
// the user's own shortcut folders and registry root.
#pragma once

#include "app/installer_host.h"

#include <string>

class InstallerArchive;

// The proposed installation directory of a per-user installer whose block
// names no "install-dir" template.
inline constexpr char kPerUserInstallDirTemplate[] = "{LocalAppData}\\Programs\\{AppName}";

// True when archive installs for the current user only.
bool IsPerUserInstaller(const InstallerArchive& archive);

// For a per-user installer, clears both bits of the all-users option in the
// archive's options word: the option is neither offered in the options
// dialog nor applied to the shortcuts, under "/S" as well. A machine
// installer's word is left as it is.
void ApplyInstallationScope(InstallerArchive& archive);

// The template of the proposed directory when the block names none: the
// per-user default for a per-user installer, empty (the publisher's folder
// below Program Files) for a machine installer.
std::string DefaultInstallDirTemplate(const InstallerArchive& archive);

// The path an earlier installation registered for the archive's main
// executable under App Paths, empty when none did. A per-user installer
// looks under the current user's root first, then under the machine's (an
// earlier machine-wide installation is updated where it is); a machine
// installer only under the machine's.
std::string RegisteredInstallationPath(InstallerHost& host, InstallerArchive& archive);
