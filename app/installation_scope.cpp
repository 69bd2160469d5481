#include "app/installation_scope.h"

#include "archive/archive_format.h"
#include "archive/install_options.h"
#include "archive/installer_archive.h"

using namespace archive_format::extension_block;

bool IsPerUserInstaller(const InstallerArchive& archive) { return archive.GetExtension(kScopeKey) == kPerUserScope; }

RegistryScope InstallationScope(const InstallerArchive& archive) {
    return RegistryScopeOf(IsPerUserInstaller(archive));
}

std::string UninstallKeyOf(const InstallerArchive& archive) { return archive.GetExtension(kUninstallKeyKey); }

void ApplyInstallationScope(InstallerArchive& archive) {
    if (!IsPerUserInstaller(archive)) return;
    const InstallOption& allUsers = kInstallOptions[0];
    static_assert(kInstallOptions[0].checkedBit == kOptionAllUsers, "the table starts with the all-users option");
    archive.SetOptions(archive.GetOptions() & ~(allUsers.shownBit | allUsers.checkedBit));
}

std::string DefaultInstallDirTemplate(const InstallerArchive& archive) {
    if (IsPerUserInstaller(archive)) return kPerUserInstallDirTemplate;
    if (!archive.GetExtension(kPublisherKey).empty() || !UninstallKeyOf(archive).empty())
        return kProductInstallDirTemplate;
    return {};
}
