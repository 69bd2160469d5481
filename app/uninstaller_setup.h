// What an installation with an uninstaller leaves besides the application:
// uninstall.exe in the installation directory (this program's extractor
// image followed by the record of what the installation made) and the entry
// that Windows lists among the installed applications.
#pragma once

#include "app/installer_host.h"
#include "uninstall/uninstall_record.h"

#include <cstdint>
#include <string>
#include <vector>

class InstallerArchive;

inline constexpr char kUninstallerFileName[] = "uninstall.exe";
// Below the machine's or the current user's root.
inline constexpr char kUninstallEntriesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The record of an installation of archive into directory that made (or
// found) links.
UninstallRecord InstallationRecord(const InstallerArchive& archive, const std::vector<UninstallShortcut>& links);

// The values of the uninstall entry: the names Windows' list of installed
// applications reads, the estimated size in KiB rounded up.
std::vector<RegistryValue> UninstallEntryValues(const UninstallRecord& record, const std::string& directory,
                                                const std::string& executablePath, std::uint64_t installedBytes);

// Writes <directory>\uninstall.exe from the first imageSize bytes of the
// file at modulePath and the record, replacing an earlier one. False with the
// reason in error.
bool WriteUninstallerFile(const std::string& modulePath, std::uint64_t imageSize, const std::string& directory,
                          const UninstallRecord& record, std::string& error);

// After a successful extraction of an archive whose extension block names an
// uninstall key: writes the uninstaller and the entry (an update rewrites
// both). False after a failure, which has been shown through host.
bool SetUpUninstaller(InstallerHost& host, const InstallerArchive& archive, const std::string& directory,
                      const std::string& executablePath, const std::vector<UninstallShortcut>& links);
