#include "app/registered_installation.h"

#include "app/installation_scope.h"
#include "archive/entry_name.h"
#include "archive/installation_names.h"
#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/text_utils.h"

namespace {

// The path registered under App Paths for the archive's main executable.
std::string RegisteredAppPathOf(InstallerSystem& system, const InstallerArchive& archive,
                                const std::string& firstEntry) {
    const std::string fileName = AppPathsName(firstEntry);
    // The current user's value goes through the general read, with its
    // larger buffer; the machine's keeps the path limit it has always had.
    if (IsPerUserInstaller(archive)) {
        const std::string userPath = system.ReadRegistryString(RegistryScope::CurrentUser, AppPathsKeyOf(fileName), "");
        if (!userPath.empty()) return userPath;
    }
    return RegisteredAppPath(system, fileName);
}

} // namespace

EarlierInstallation FindEarlierInstallation(InstallerSystem& system, const InstallerArchive& archive) {
    if (archive.GetEntries().empty()) return {};
    const std::string& firstEntry = archive.GetEntries().front().name;
    if (const std::string key = UninstallKeyOf(archive); !key.empty()) {
        const std::string location =
            system.ReadRegistryString(InstallationScope(archive), UninstallEntryKeyOf(key), kInstallLocationValue);
        if (IsAbsolutePath(location) && DirectoryExists(location))
            return {BuildPath(location, NativeEntryPath(firstEntry), nullptr), location};
    }
    const std::string path = RegisteredAppPathOf(system, archive, firstEntry);
    if (path.empty()) return {};
    return {path, InstallationDirectoryFromRegisteredPath(path, firstEntry)};
}

std::string RegisteredAppPath(InstallerSystem& system, const std::string& fileName) {
    return system.ReadRegistryString(RegistryScope::Machine, AppPathsKeyOf(fileName), "", kAppPathBufferSize);
}

std::string AppPathsName(const std::string& firstEntryName) {
    return GetPathPart(firstEntryName, kPathFileName, PathStyle::Windows);
}

std::string InstallationDirectoryFromRegisteredPath(const std::string& registeredPath,
                                                    const std::string& firstEntryName) {
    // The registered path is a path of this platform; the entry name is
    // stored with "\" whatever the platform.
    const std::string relative = NativeEntryPath(firstEntryName);
    const std::size_t length = registeredPath.size();
    if (length > relative.size() && registeredPath[length - relative.size() - 1] == PathSeparator() &&
        EqualsIgnoringCase(std::string_view(registeredPath).substr(length - relative.size()), relative)) {
        // Taken as if the executable lay at the top of the installation, so
        // that a drive root keeps its separator as GetPathPart keeps it.
        const std::string atTop =
            registeredPath.substr(0, length - relative.size()) + GetPathPart(relative, kPathFileName);
        return GetPathPart(atTop, kPathDirectory);
    }
    return GetPathPart(registeredPath, kPathDirectory);
}
