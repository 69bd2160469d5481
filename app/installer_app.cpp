#include "app/installer_app.h"

#include "app/installation_sequence.h"
#include "app/installer_startup.h"
#include "app/unattended_host.h"
#include "app/uninstall_sequence.h"
#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/path.h"
#include "common/string_format.h"

namespace {

// FALSE for the caller: there is no message loop to run.
constexpr int kNoMessageLoop = 0;

} // namespace

int InstallerApp::InitInstance() {
    // Under "/S" the host is chosen before anything is loaded or shown, so
    // that no window is ever opened.
    const bool silent = RequestsSilentInstallation(host_.RawCommandLine());
    UnattendedHost unattended(host_);
    InstallerHost& host = silent ? static_cast<InstallerHost&>(unattended) : host_;

    InstallerArchive archive;
    // The program's only catch. A read or write failure of the operating
    // system inside the archive ends the run here, before any further file is
    // installed, with one message instead of an abnormal end of the process.
    exit_ = InstallerExit::ArchiveNotLoaded;
    bool uninstalling = false;
    try {
        InstallationRequest request;
        // An uninstaller is this program with the record of an installation
        // where an installer has its archive.
        uninstalling = IsUninstallerFile(host.ModulePath());
        if (uninstalling) {
            exit_ = InstallerExit::ExtractionFailed; // should the file layer fail from here on
            exit_ = RunUninstall(host, silent);
        } else if (RunStartup(host, archive, request, exit_)) {
            exit_ = InstallerExit::ExtractionFailed; // should the file layer fail from here on
            exit_ = RunInstallation(host, archive, request);
        }
    } catch (const FileException& e) {
        host.ShowMessage(e.what(), kProductName, kMessageError);
    }
    if (silent && uninstalling) {
        WriteInstallationLog(host, GetPathPart(host.ModulePath(), kPathBaseName),
                             {StringFormat("Exit code %d (%s)", ExitCode(), UninstallExitMeaning(exit_))});
    } else if (silent) {
        // An archive that did not load has no name: the program's own stands in.
        const std::string name =
            archive.GetAppName().empty() ? GetPathPart(host.ModulePath(), kPathBaseName) : archive.GetAppName();
        WriteInstallationLog(host, name, {StringFormat("Exit code %d (%s)", ExitCode(), InstallerExitMeaning(exit_))});
    }
    return kNoMessageLoop;
}
