#include "app/installer_app.h"

#include "app/installation_sequence.h"
#include "app/installer_startup.h"
#include "app/program_arguments.h"
#include "app/unattended_ui.h"
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
    // The command line is read once. Under "/S" the user interface is chosen
    // before anything is loaded or shown, so that no window is ever opened.
    const ProgramArguments arguments = ParseProgramArguments(system_.RawCommandLine());
    UnattendedUi unattended;
    InstallerUi& ui = arguments.silent ? static_cast<InstallerUi&>(unattended) : ui_;

    InstallerArchive archive;
    const std::string modulePath = system_.ModulePath();
    // An uninstaller is this program with the record of an installation
    // where an installer has its archive; one named as an uninstaller but
    // without its record is a damaged one.
    const char* meaning = "";
    std::optional<FileFailure> unreadable;
    if (IsUninstallerFile(modulePath, &unreadable) || HasUninstallerName(modulePath)) {
        const UninstallExit exit = RunUninstall(ui, system_, arguments);
        exitCode_ = static_cast<int>(exit);
        meaning = UninstallExitMeaning(exit);
    } else {
        InstallationRequest request;
        InstallerExit exit = InstallerExit::ArchiveNotLoaded;
        // A program that cannot read itself has no archive either: the file
        // layer's sentence is all there is to say.
        if (unreadable)
            ui.ShowMessage(unreadable->Text(), kProductName, kMessageError);
        else if (RunStartup(ui, system_, archive, arguments, request, exit))
            exit = RunInstallation(ui, system_, archive, request);
        exitCode_ = static_cast<int>(exit);
        meaning = InstallerExitMeaning(exit);
    }
    if (arguments.silent) {
        // An archive that did not load has no name, nor has an uninstaller:
        // the program's own stands in.
        const std::string name =
            archive.GetAppName().empty() ? GetPathPart(modulePath, kPathBaseName) : archive.GetAppName();
        WriteInstallationLog(system_, name, {StringFormat("Exit code %d (%s)", exitCode_, meaning)});
    }
    return kNoMessageLoop;
}
