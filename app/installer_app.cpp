#include "app/installer_app.h"

#include "app/installation_sequence.h"
#include "app/installer_startup.h"
#include "app/program_arguments.h"
#include "app/unattended_host.h"
#include "app/uninstall_sequence.h"
#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/path.h"
#include "common/string_format.h"
#include "uninstall/uninstaller_file.h"

namespace {

// FALSE for the caller: there is no message loop to run.
constexpr int kNoMessageLoop = 0;

} // namespace

int InstallerApp::InitInstance() {
    // The command line is read once. Under "/S" the host is chosen before
    // anything is loaded or shown, so that no window is ever opened.
    const ProgramArguments arguments = ParseProgramArguments(host_.RawCommandLine());
    UnattendedHost unattended(host_);
    InstallerHost& host = arguments.silent ? static_cast<InstallerHost&>(unattended) : host_;

    InstallerArchive archive;
    // The program's last catch. The installation and the uninstaller handle
    // the failures of the file layer they can clean up after; anything that
    // still reaches here ends the run with one message instead of an
    // abnormal end of the process.
    exitCode_ = static_cast<int>(InstallerExit::ArchiveNotLoaded);
    const std::string modulePath = host.ModulePath();
    // An uninstaller is this program with the record of an installation
    // where an installer has its archive; one named as an uninstaller but
    // without its record is a damaged one.
    bool uninstalling = false;
    const char* meaning = "";
    try {
        uninstalling = IsUninstallerFile(modulePath) || HasUninstallerName(modulePath);
        if (uninstalling) {
            exitCode_ = static_cast<int>(UninstallExit::NotRemoved); // should the file layer fail from here on
            const UninstallExit exit = RunUninstall(host, arguments);
            exitCode_ = static_cast<int>(exit);
            meaning = UninstallExitMeaning(exit);
        } else {
            InstallationRequest request;
            InstallerExit exit = InstallerExit::ArchiveNotLoaded;
            if (RunStartup(host, archive, arguments, request, exit)) {
                exitCode_ =
                    static_cast<int>(InstallerExit::ExtractionFailed); // should the file layer fail from here on
                exit = RunInstallation(host, archive, request);
            }
            exitCode_ = static_cast<int>(exit);
            meaning = InstallerExitMeaning(exit);
        }
    } catch (const FileException& e) {
        host.ShowMessage(e.what(), kProductName, kMessageError);
        meaning = uninstalling ? UninstallExitMeaning(static_cast<UninstallExit>(exitCode_))
                               : InstallerExitMeaning(static_cast<InstallerExit>(exitCode_));
    }
    if (arguments.silent) {
        // An archive that did not load has no name, nor has an uninstaller:
        // the program's own stands in.
        const std::string name =
            archive.GetAppName().empty() ? GetPathPart(modulePath, kPathBaseName) : archive.GetAppName();
        WriteInstallationLog(host, name, {StringFormat("Exit code %d (%s)", exitCode_, meaning)});
    }
    return kNoMessageLoop;
}
