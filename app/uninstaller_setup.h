// What an installation with an uninstaller leaves besides the application:
// uninstall.exe in the installation directory (this program's extractor
// image followed by the record of what the installation made; or the
// uninstaller image the installer carries, extracted as its files are, with
// the record in uninstall.dat beside it) and the entry that Windows lists
// among the installed applications.
#pragma once

#include "app/installer_system.h"
#include "app/installer_ui.h"
#include "uninstall/uninstall_record.h"

#include <cstdint>
#include <string>
#include <vector>

class InstallerArchive;

// What the uninstaller file in an installation directory is to the product
// with a given uninstall key.
enum class EarlierUninstaller {
    None,    // there is none: nothing to keep, nothing in the way
    Ours,    // the uninstaller of an earlier installation of this product
    Foreign, // another product's uninstaller, a damaged one or no uninstaller at all
};

// Looks at <directory>\uninstall.exe. For Ours, earlier receives its record;
// for Foreign, the record when it could be read (another product's), else
// an empty one. One that cannot be read is Foreign: nothing is written over
// a file this installer cannot tell as its own.
EarlierUninstaller ReadEarlierUninstaller(const std::string& directory, const std::string& uninstallKey,
                                          UninstallRecord& earlier);

// The record of an installation of archive into directory with links (the
// links this product made, made or rewritten now, or still there from an
// earlier installation). The files of an earlier record that are still in
// directory and not the archive's stay in the new record, so that
// uninstalling after updates removes what every version installed.
UninstallRecord InstallationRecord(const InstallerArchive& archive, const std::string& directory,
                                   const std::vector<UninstallShortcut>& links, const UninstallRecord* earlier);

// The values of the uninstall entry: the names Windows' list of installed
// applications reads, the estimated size in KiB rounded up; DisplayIcon
// names iconFile.
std::vector<RegistryValue> UninstallEntryValues(const UninstallRecord& record, const std::string& directory,
                                                const std::string& iconFile, std::uint64_t installedBytes);

// Writes <directory>\uninstall.exe from the first imageSize bytes of the
// file at modulePath and the record, replacing an earlier one in one step:
// the file is written under a temporary name beside it and renamed once
// complete, so a failure (a full disk included) leaves the earlier
// uninstaller, or none, and no partial file. False with the reason in error.
bool WriteUninstallerFile(const std::string& modulePath, std::uint64_t imageSize, const std::string& directory,
                          const UninstallRecord& record, std::string& error);

// Writes <directory>\uninstall.dat, the record of a carried uninstaller, in
// one step as WriteUninstallerFile writes. False with the reason in error.
bool WriteUninstallRecordFile(const std::string& directory, const UninstallRecord& record, std::string& error);

// After a successful extraction of an archive whose extension block names an
// uninstall key: writes the uninstaller and the entry (an update rewrites
// both). False after a failure, which has been shown through ui.
bool SetUpUninstaller(InstallerUi& ui, InstallerSystem& system, const InstallerArchive& archive,
                      const std::string& directory, const std::string& executablePath,
                      const std::vector<UninstallShortcut>& links, const UninstallRecord* earlier);
