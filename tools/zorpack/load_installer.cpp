#include "tools/zorpack/load_installer.h"

#include "archive/installer_archive.h"
#include "tools/zorpack/progress.h"

namespace zorpack {

bool LoadForReading(InstallerArchive& archive, const std::string& path, ProgressReporter& progress, Console& console) {
    progress.Attach(archive);
    archive.SetFilePath(path);
    std::string error;
    const bool loaded = archive.LoadInstaller(&error);
    progress.Finish();
    if (loaded) return true;
    RaiseFileFailure(archive);
    // Only an open failure fills error, with the system's reason in it.
    Report(console, "cannot load '" + path + "': " + (error.empty() ? archive.GetErrorText() : error));
    return false;
}

void RaiseFileFailure(const InstallerArchive& archive) {
    if (const FileFailure* failure = archive.FileFailureMet()) throw FileException(*failure);
}

} // namespace zorpack
