// "zorpack build": checks every input, the extractor image and the output
// before anything is written, so a refused build touches nothing; the archive
// then writes the installer under a temporary name and puts it in place only
// once complete, so a failed or interrupted build leaves an existing
// installer as it was.
#include "archive/entry_name.h"
#include "archive/extractor_resource.h"
#include "archive/installation_names.h"
#include "archive/installer_archive.h"
#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/last_error.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/temporary_file.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/embedded_extractor.h"
#include "tools/zorpack/extractor_image.h"
#include "tools/zorpack/input_files.h"
#include "tools/zorpack/progress.h"
#include "tools/zorpack/reproducible_times.h"
#include "tools/zorpack/signing.h"
#include "tools/zorpack/stub_resources.h"
#include "tools/zorpack/summary.h"
#include "tools/zorpack/winget_manifest.h"

#include <algorithm>
#include <numeric>
#include <optional>
#include <thread>

namespace zorpack {

namespace {

// True when the installer carries its uninstaller image, signed.
bool CarriesUninstaller(const BuildRequest& build) { return build.uninstaller && !build.signCommand.empty(); }

// Sets the archive's extractor image and returns its size; kExitSuccess or
// the exit code of the failure reported. stub receives the identity of the
// --stub file; kept, when not null, a copy of the image as the installer has it.
int ChooseExtractor(const BuildRequest& build, InstallerArchive& archive, std::uint64_t& size,
                    std::optional<FileIdentity>& stub, std::vector<std::uint8_t>* kept, Console& console) {
    std::vector<std::uint8_t> image;
    std::string error;
    if (!build.stubPath.empty()) {
        FileIdentity identity;
        if (!ReadExtractorImage(build.stubPath, image, identity, error)) return Report(console, error);
        stub = identity;
    } else {
        // Asked here so that a zorpack without an image says so before any work.
        const int resourceId = build.perUser ? kPerUserExtractorResourceId : kExtractorResourceId;
        if (!LoadExtractorResource(resourceId, image))
            return Report(console,
                          build.perUser ? "this zorpack carries no per-user extractor image (zorsetup-user.exe); name "
                                          "one with --stub FILE"
                                        : "this zorpack carries no extractor image; name one with --stub FILE",
                          kExitUsage);
        // The archive loads its own image again when it writes: no copy is kept.
        if (!WantsStubResources(build) && kept == nullptr) {
            size = image.size();
            archive.SetExtractorResourceId(resourceId);
            return kExitSuccess;
        }
    }
    if (WantsStubResources(build) && !ApplyStubResources(build, image, error)) return Report(console, error);
    size = image.size();
    if (kept) *kept = image;
    archive.SetExtractorImage(std::move(image));
    return kExitSuccess;
}

// The folder output goes into, where its temporary files are made.
std::string FolderOf(const std::string& output) {
    const std::string folder = GetPathPart(WithNativeSeparators(output), kPathDirectory);
    return folder.empty() ? "." : folder;
}

// Empty unless the folder the installer goes into is missing or is a file;
// otherwise the sentence saying so. Other failures to write there are left
// to the archive's own line, which names the system's reason.
std::string OutputFolderProblem(const std::string& output) {
    const std::string folder = output.substr(0, GetPathPart(WithNativeSeparators(output), kPathDirectory).size());
    if (folder.empty()) return {};
    FileDetails details;
    if (GetFileDetails(folder, details))
        return details.isDirectory ? "" : "cannot write '" + output + "': '" + folder + "' is a file, not a folder";
    // A drive's or share's root is found by its identity, not by a search.
    FileIdentity identity;
    if (GetFileIdentity(folder, identity)) return {};
    const std::uint32_t code = GetLastErrorCode();
    if (code != kErrorFileNotFound && code != kErrorPathNotFound) return {};
    return "cannot write '" + output + "': the folder '" + folder + "' does not exist";
}

// Empty when writing the installer at output destroys no input: compared by
// file identity, so no link, second name or other spelling of a path slips
// through.
std::string OutputClash(const std::string& output, const std::vector<InputFile>& files,
                        const std::optional<FileIdentity>& stub, const std::string& stubPath) {
    FileDetails details;
    if (GetFileDetails(output, details) && details.isDirectory)
        return "the installer '" + output + "' names a directory";
    FileIdentity identity;
    if (!GetFileIdentity(output, identity)) return {}; // nothing there yet
    for (const InputFile& file : files)
        if (file.identity == identity)
            return "the installer '" + output + "' is the input file '" + file.path + "'; name another output";
    if (stub && *stub == identity)
        return "the installer '" + output + "' is the extractor image '" + stubPath + "'; name another output";
    return {};
}

// Moves the file stored as mainEntry ("/" or "\\" between folders, letter
// case ignored as Windows does) to the front, the others keeping their
// order: the installer takes its first entry for the application. Empty
// when done, or the reason it cannot be.
std::string PutMainEntryFirst(std::vector<InputFile>& files, const std::string& mainEntry) {
    std::string wanted = mainEntry;
    std::replace(wanted.begin(), wanted.end(), '/', kEntrySeparator);
    const std::string key = EntryNameKey(wanted);
    const auto main =
        std::find_if(files.begin(), files.end(), [&](const InputFile& file) { return EntryNameKey(file.name) == key; });
    if (main == files.end())
        return "--main names '" + mainEntry + "', which is not the stored name of any input file (first: '" +
               files.front().name + "')";
    std::rotate(files.begin(), main, main + 1);
    return {};
}

// The settings the extension block carries, in their order there; none when
// no option that writes one was given.
std::vector<ExtensionPair> ExtensionPairs(const BuildRequest& build) {
    using namespace archive_format::extension_block;
    std::vector<ExtensionPair> pairs;
    if (!build.publisher.empty()) pairs.push_back({kPublisherKey, build.publisher});
    if (!build.installDir.empty()) pairs.push_back({kInstallDirKey, build.installDir});
    if (build.perUser) pairs.push_back({kScopeKey, kPerUserScope});
    if (build.uninstaller) pairs.push_back({kUninstallKeyKey, build.uninstallKey});
    if (build.uninstaller && !build.iconPath.empty()) pairs.push_back({kIconKey, kUninstallerIcon});
    if (CarriesUninstaller(build)) pairs.push_back({kUninstallerKey, kCarriedUninstaller});
    return pairs;
}

// The installer's size when the files are stored as they are: the extractor,
// the files, their records, the four strings with their NULs, the extension
// block and the tailer.
std::uint64_t StoredInstallerSize(const BuildRequest& build, const std::vector<InputFile>& files,
                                  std::uint64_t extractorSize) {
    std::uint64_t size = extractorSize + archive_format::kTailerSize + build.windowList.size() + build.appName.size() +
                         build.version.size() + build.shortcutName.size() + 4 +
                         EncodeExtensionBlock(ExtensionPairs(build)).size();
    for (const InputFile& file : files) size += file.size + archive_format::kRecordHeaderSize + file.name.size() + 1;
    return size;
}

} // namespace

int RunBuild(const Request& request, Console& console) {
    const Stopwatch clock;
    const BuildRequest& build = request.build;
    std::string error;

    if (error = OutputFolderProblem(build.output); !error.empty()) return Report(console, error);
    std::vector<std::string> paths;
    if (!ExpandInputList(build.inputs, paths, error)) return Report(console, error);
    if (paths.empty()) return Report(console, "no input files: the list files are empty", kExitUsage);
    std::vector<InputFile> files;
    if (!ExamineInputFiles(paths, files, error)) return Report(console, error);
    if (files.empty()) return Report(console, "no input files: the directories given hold none", kExitUsage);
    if (error = CheckFileNames(files); !error.empty()) return Report(console, error);
    if (error = FindFileFolderClash(files); !error.empty()) return Report(console, error);
    if (build.uninstaller)
        if (error = FindUninstallerClash(files, CarriesUninstaller(build)); !error.empty())
            return Report(console, error);
    if (!build.allowDuplicates)
        if (error = FindDuplicateNames(files); !error.empty()) return Report(console, error);
    if (!build.mainEntry.empty())
        if (error = PutMainEntryFirst(files, build.mainEntry); !error.empty())
            return Report(console, error, kExitUsage);
    std::optional<FileTime> timeCeiling;
    if (error = ChooseTimeCeiling(GetEnvironmentValue("SOURCE_DATE_EPOCH"), build.reproducible, files, timeCeiling);
        !error.empty())
        return Report(console, error, kExitUsage);

    InstallerArchive archive;
    std::uint64_t extractorSize = 0;
    std::optional<FileIdentity> stub;
    std::vector<std::uint8_t> image;
    if (const int chosen =
            ChooseExtractor(build, archive, extractorSize, stub, CarriesUninstaller(build) ? &image : nullptr, console);
        chosen != kExitSuccess)
        return chosen;
    if (error = OutputClash(build.output, files, stub, build.stubPath); !error.empty())
        return Report(console, error, kExitUsage);
    if (!(build.options & kCompressFiles) &&
        StoredInstallerSize(build, files, extractorSize) > archive_format::kMaxArchiveSize)
        return Report(console, "the installer would reach 4 GiB, more than its 32-bit offsets can address");

    // Signing: the uninstaller image before it is stored, as the last entry;
    // the installer written under a temporary name, signed into another and
    // put in place last.
    const std::string folder = FolderOf(build.output);
    TemporaryFile carried, unsignedInstaller, signedInstaller;
    if (CarriesUninstaller(build)) {
        if (error = MakeCarriedUninstaller(build.signCommand, image, folder, carried); !error.empty())
            return Report(console, error);
    }
    if (!build.signCommand.empty() && !unsignedInstaller.ReserveName(folder, "unsigned."))
        return Report(console, "cannot make a temporary file in '" + folder + "' (" + LastErrorText() + ")");

    archive.SetFilePath(build.signCommand.empty() ? build.output : unsignedInstaller.Path());
    archive.SetAppName(build.appName);
    archive.SetVersion(build.version);
    archive.SetShortcutName(build.shortcutName);
    archive.SetWindowList(build.windowList);
    archive.SetOptions(build.options);
    CompressionSettings compression = build.compression;
    if (compression.threads == 0) compression.threads = std::max(1u, std::thread::hardware_concurrency());
    archive.SetCompression(compression);
    archive.SetExtensions(ExtensionPairs(build));
    archive.SetTimeCeiling(timeCeiling);
    ProgressReporter progress(console, request.verbose);
    progress.Attach(archive);
    for (const InputFile& file : files) {
        if (!archive.AddFile(file.path, file.name)) {
            progress.Finish();
            return Report(console, "cannot add '" + file.path + "': " + archive.LastFailure().Explanation());
        }
    }

    if (carried.IsCreated() && !archive.AddFile(carried.Path(), kUninstallerFileName)) {
        progress.Finish();
        return Report(console, "cannot add the signed uninstaller: " + archive.LastFailure().Explanation());
    }

    progress.CountEntries(archive.GetEntries().size());
    error.clear();
    const bool made = archive.MakeInstaller(&error);
    progress.Finish();
    if (!made) {
        // A failure before the first byte was written is its line alone.
        if (!error.empty()) return Report(console, error);
        return Report(console, "building '" + build.output + "' failed: " + archive.LastFailure().Explanation());
    }
    if (!build.signCommand.empty()) {
        if (error = SignFile(build.signCommand, unsignedInstaller.Path(), "the installer", folder, signedInstaller);
            !error.empty())
            return Report(console, error);
        if (!signedInstaller.CommitAs(build.output))
            return Report(console, "cannot replace '" + build.output + "' (" + LastErrorText() + ")");
    }

    if (!build.winget.directory.empty()) {
        if (error = WriteWingetManifest(build, build.output); !error.empty()) return Report(console, error);
        if (build.winget.installerUrl.empty())
            console.err << "zorpack: warning: no --installer-url: the manifest's InstallerUrl is a placeholder to "
                           "replace before it is submitted\n";
    }

    FileDetails installer;
    const std::uint64_t installerSize = GetFileDetails(build.output, installer) ? installer.size : 0;
    const std::uint64_t originalSize =
        std::accumulate(files.begin(), files.end(), std::uint64_t{0},
                        [](std::uint64_t sum, const InputFile& file) { return sum + file.size; });
    console.out << BuildSummary(build.output, files.size(), originalSize, installerSize, clock.Seconds()) << '\n';
    return kExitSuccess;
}

} // namespace zorpack
