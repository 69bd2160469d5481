#include "archive/installer_archive.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/load_installer.h"
#include "tools/zorpack/progress.h"
#include "tools/zorpack/summary.h"

namespace zorpack {

int RunVerify(const Request& request, Console& console) {
    const Stopwatch clock;
    InstallerArchive archive;
    ProgressReporter progress(console, request.verbose);
    if (!LoadForReading(archive, request.installer, progress, console)) return kExitFailure;
    progress.CountEntries(archive.GetEntries().size());
    const bool verified = archive.VerifyFiles();
    progress.Finish();
    RaiseFileFailure(archive);
    if (!verified)
        return Report(console,
                      "verification of '" + request.installer + "' failed: " + archive.LastFailure().Explanation());
    console.out << ReadSummary(request.installer, archive.GetEntries().size(), archive.GetTotalOriginalSize(),
                               "verified", {}, clock.Seconds())
                << '\n';
    return kExitSuccess;
}

} // namespace zorpack
