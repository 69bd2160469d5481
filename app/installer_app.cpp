#include "app/installer_app.h"

#include "app/installation_sequence.h"
#include "app/installer_startup.h"
#include "archive/installer_archive.h"
#include "common/file.h"

namespace {

// FALSE for the caller: there is no message loop to run.
constexpr int kNoMessageLoop = 0;

} // namespace

int InstallerApp::InitInstance() {
    // The program's only catch. A read or write failure of the operating
    // system inside the archive ends the run here, before any further file is
    // installed, with one message instead of an abnormal end of the process.
    try {
        InstallerArchive archive;
        bool force = false;
        if (RunStartup(host_, archive, force)) RunInstallation(host_, archive, force);
    } catch (const FileException& e) {
        host_.ShowMessage(e.what(), kProductName, kMessageError);
    }
    return kNoMessageLoop;
}
