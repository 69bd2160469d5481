// "zorpack build": checks every input before the installer file is created,
// so a refused build leaves nothing behind; a build that fails once writing
// has begun removes its partial installer.
#include "archive/extractor_resource.h"
#include "archive/installer_archive.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/string_format.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/embedded_extractor.h"
#include "tools/zorpack/input_files.h"
#include "tools/zorpack/progress.h"
#include "tools/zorpack/summary.h"
#include "tools/zorpack/windows_names.h"

#include <cstdio>
#include <numeric>

namespace zorpack {

namespace {

// Every offset of the archive is 32-bit: no installer may pass 4 GiB.
constexpr std::uint64_t kMaxInstallerSize = 0xFFFFFFFFu;

// Reads the extractor image that --stub names.
bool ReadStub(const std::string& path, std::vector<std::uint8_t>& image, std::string& error) {
    CFile file;
    if (!file.OpenForReading(path)) {
        error = StringFormat("cannot read the extractor image '%s': %s", path.c_str(), LastErrorText());
        return false;
    }
    const std::uint64_t length = file.GetLength();
    if (length >= kMaxInstallerSize) {
        error = StringFormat("the extractor image '%s' is too large for an installer", path.c_str());
        return false;
    }
    image.resize(static_cast<std::size_t>(length));
    image.resize(file.Read(image.data(), image.size()));
    return true;
}

// Sets the archive's extractor image and returns its size; kExitSuccess or
// the exit code of the failure reported.
int ChooseExtractor(const BuildRequest& build, InstallerArchive& archive, std::uint64_t& size, Console& console) {
    std::vector<std::uint8_t> image;
    std::string error;
    if (!build.stubPath.empty()) {
        if (!ReadStub(build.stubPath, image, error)) return Report(console, error);
        size = image.size();
        archive.SetExtractorImage(std::move(image));
        return kExitSuccess;
    }
    // Asked here so that a zorpack without an image says so before any work.
    if (!LoadExtractorResource(kExtractorResourceId, image))
        return Report(console, "this zorpack carries no extractor image; name one with --stub FILE", kExitUsage);
    size = image.size();
    archive.SetExtractorResourceId(kExtractorResourceId);
    return kExitSuccess;
}

// The installer's size when the files are stored as they are: the extractor,
// the files, their records, the four strings with their NULs and the tailer.
std::uint64_t StoredInstallerSize(const BuildRequest& build, const std::vector<InputFile>& files,
                                  std::uint64_t extractorSize) {
    std::uint64_t size = extractorSize + archive_format::kTailerSize + build.windowList.size() + build.appName.size() +
                         build.version.size() + build.shortcutName.size() + 4;
    for (const InputFile& file : files) size += file.size + archive_format::kRecordHeaderSize + file.name.size() + 1;
    return size;
}

void RemovePartialInstaller(const std::string& path) { std::remove(path.c_str()); }

} // namespace

int RunBuild(const Request& request, Console& console) {
    const Stopwatch clock;
    const BuildRequest& build = request.build;
    std::string error;

    std::vector<std::string> paths;
    if (!ExpandInputList(build.inputs, paths, error)) return Report(console, error);
    if (paths.empty()) return Report(console, "no input files: the list files are empty", kExitUsage);
    std::vector<InputFile> files;
    if (!ExamineInputFiles(paths, files, error)) return Report(console, error);
    if (error = CheckFileNames(files); !error.empty()) return Report(console, error);
    if (!build.allowDuplicates)
        if (error = FindDuplicateNames(files, NativeNamesCaseSensitive()); !error.empty())
            return Report(console, error);
    const std::string outputKey = FileNameKey(build.output, NativeNamesCaseSensitive());
    for (const InputFile& file : files)
        if (FileNameKey(file.path, NativeNamesCaseSensitive()) == outputKey)
            return Report(console, "the installer '" + build.output + "' is also an input file", kExitUsage);

    InstallerArchive archive;
    std::uint64_t extractorSize = 0;
    if (const int chosen = ChooseExtractor(build, archive, extractorSize, console); chosen != kExitSuccess)
        return chosen;
    if (!(build.options & kCompressFiles) && StoredInstallerSize(build, files, extractorSize) > kMaxInstallerSize)
        return Report(console, "the installer would reach 4 GiB, more than its 32-bit offsets can address");

    archive.SetFilePath(build.output);
    archive.SetAppName(build.appName);
    archive.SetVersion(build.version);
    archive.SetShortcutName(build.shortcutName);
    archive.SetWindowList(build.windowList);
    archive.SetOptions(build.options);
    ProgressReporter progress(console, request.verbose);
    progress.Attach(archive);
    for (const InputFile& file : files) {
        if (!archive.AddFile(file.path)) {
            progress.Finish();
            return Report(console, "cannot add '" + file.path + "': " + archive.GetErrorText());
        }
    }

    progress.CountEntries(files.size(), "Archiving file '");
    bool made = false;
    error.clear();
    try {
        made = archive.MakeInstaller(&error);
    } catch (const FileException&) {
        progress.Finish();
        RemovePartialInstaller(build.output);
        throw;
    }
    progress.Finish();
    if (!made) {
        // A filled error means the installer file was never created: whatever
        // is at its path is not ours to remove.
        if (!error.empty()) return Report(console, error);
        RemovePartialInstaller(build.output);
        return Report(console, "building '" + build.output + "' failed: " + progress.FailureText(error));
    }

    CFile installer;
    const std::uint64_t installerSize = installer.OpenForReading(build.output) ? installer.GetLength() : 0;
    installer.Close();
    if (installerSize > kMaxInstallerSize) {
        RemovePartialInstaller(build.output);
        return Report(console, "the installer would reach 4 GiB, more than its 32-bit offsets can address");
    }
    const std::uint64_t originalSize =
        std::accumulate(files.begin(), files.end(), std::uint64_t{0},
                        [](std::uint64_t sum, const InputFile& file) { return sum + file.size; });
    console.out << BuildSummary(build.output, files.size(), originalSize, installerSize, clock.Seconds()) << '\n';
    return kExitSuccess;
}

} // namespace zorpack
