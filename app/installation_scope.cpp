#include "app/installation_scope.h"

#include "app/registered_installation.h"
#include "archive/archive_format.h"
#include "archive/install_options.h"
#include "archive/installer_archive.h"

namespace {

// The key below which Windows finds an application by its executable's file
// name; its default value is the executable's full path.
constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

} // namespace

bool IsPerUserInstaller(const InstallerArchive& archive) {
    using namespace archive_format::extension_block;
    return archive.GetExtension(kScopeKey) == kPerUserScope;
}

void ApplyInstallationScope(InstallerArchive& archive) {
    if (!IsPerUserInstaller(archive)) return;
    const InstallOption& allUsers = kInstallOptions[0];
    static_assert(kInstallOptions[0].checkedBit == kOptionAllUsers, "the table starts with the all-users option");
    archive.SetOptions(archive.GetOptions() & ~(allUsers.shownBit | allUsers.checkedBit));
}

std::string DefaultInstallDirTemplate(const InstallerArchive& archive) {
    return IsPerUserInstaller(archive) ? kPerUserInstallDirTemplate : "";
}

std::string RegisteredInstallationPath(InstallerHost& host, InstallerArchive& archive) {
    const std::string fileName = AppPathsName(archive.GetFirstFileName());
    if (IsPerUserInstaller(archive)) {
        const std::string userPath = host.ReadRegistryString(RegistryScope::CurrentUser, kAppPathsKey + fileName, "");
        if (!userPath.empty()) return userPath;
    }
    return host.RegisteredAppPath(fileName);
}
