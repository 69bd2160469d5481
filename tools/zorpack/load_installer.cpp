#include "tools/zorpack/load_installer.h"

#include "archive/installer_archive.h"
#include "compress/lzma_read_ahead.h"
#include "tools/zorpack/progress.h"

namespace zorpack {

bool LoadForReading(InstallerArchive& archive, const std::string& path, ProgressReporter& progress, Console& console) {
    progress.Attach(archive);
    archive.SetFilePath(path);
    // A solid stream is decoded on a second core while the files are
    // written and their digests taken, as xz runs ahead of tar in a pipe.
    archive.SetReadAhead([](LzmaChunkReader& stream, std::size_t window, std::uint64_t size) {
        return std::make_unique<LzmaReadAhead>(stream, window, size);
    });
    std::string error;
    const bool loaded = archive.LoadInstaller(&error);
    progress.Finish();
    if (loaded) return true;
    // Only an open failure fills error, with the system's reason in it.
    Report(console, "cannot load '" + path + "': " + (error.empty() ? archive.GetErrorText() : error));
    return false;
}

} // namespace zorpack
