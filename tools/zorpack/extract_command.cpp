#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/load_installer.h"
#include "tools/zorpack/progress.h"
#include "tools/zorpack/summary.h"

namespace zorpack {

int RunExtract(const Request& request, Console& console) {
    const Stopwatch clock;
    InstallerArchive archive;
    ProgressReporter progress(console, request.verbose);
    if (!LoadForReading(archive, request.installer, progress, console)) return kExitFailure;
    std::string error;
    if (!CreateDirectoryTree(request.targetDirectory, &error)) return Report(console, error);
    progress.CountEntries(archive.GetEntries().size());
    const bool extracted = archive.ExtractFiles(request.targetDirectory);
    progress.Finish();
    RaiseFileFailure(archive);
    if (!extracted)
        return Report(console,
                      "extraction of '" + request.installer + "' failed: " + archive.LastFailure().Explanation());
    console.out << ReadSummary(request.installer, archive.GetEntries().size(), archive.GetTotalOriginalSize(),
                               "extracted", request.targetDirectory, clock.Seconds())
                << '\n';
    return kExitSuccess;
}

} // namespace zorpack
