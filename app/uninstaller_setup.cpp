#include "app/uninstaller_setup.h"

#include "app/installation_scope.h"
#include "app/installer_startup.h"
#include "archive/archive_format.h"
#include "archive/entry_name.h"
#include "archive/installation_names.h"
#include "archive/installer_archive.h"
#include "archive/pe_image.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/temporary_file.h"
#include "common/utf8.h"
#include "uninstall/uninstaller_file.h"

#include <algorithm>

using namespace archive_format::extension_block;

namespace {

// The extractor image ends where the first data block starts.
std::uint64_t ExtractorImageSize(const InstallerArchive& archive) {
    std::uint64_t size = UINT64_MAX;
    for (const ArchiveEntry& entry : archive.GetEntries()) size = std::min<std::uint64_t>(size, entry.dataOffset);
    return size == UINT64_MAX ? 0 : size;
}

RegistryValue Text(const char* name, std::string text) { return {name, std::move(text), 0, false}; }
RegistryValue Number(const char* name, std::uint32_t number) { return {name, {}, number, true}; }

bool SameKey(const std::string& a, const std::string& b) { return FoldCaseUtf8(a) == FoldCaseUtf8(b); }

// Writes bytes as <directory>\name in one step: under a temporary name
// beside it, renamed over the file once complete. False with the reason in
// error (for a full disk or an I/O error, the file layer's sentence); no
// partial file is left either way.
bool ReplaceFile(const std::string& directory, const char* name, const std::string& bytes, std::string& error) {
    const std::string path = BuildPath(directory, name, nullptr);
    TemporaryFile file;
    if (!file.Create(directory, std::string(name) + ".")) {
        error = StringFormat("cannot create '%s' (%s)", path.c_str(), LastErrorText());
        return false;
    }
    if (!file.File().TryWrite(bytes.data(), bytes.size())) {
        error = file.File().Failure().Text();
        return false;
    }
    if (!file.CommitAs(path)) {
        error = StringFormat("cannot replace '%s' (%s)", path.c_str(), LastErrorText());
        return false;
    }
    return true;
}

} // namespace

EarlierUninstaller ReadEarlierUninstaller(const std::string& directory, const std::string& uninstallKey,
                                          UninstallRecord& earlier) {
    const std::string path = BuildPath(directory, kUninstallerFileName, nullptr);
    earlier = UninstallRecord();
    if (!FileExists(path)) return EarlierUninstaller::None;
    if (!ReadUninstallerRecord(path, earlier).empty()) return EarlierUninstaller::Foreign;
    return SameKey(earlier.uninstallKey, uninstallKey) ? EarlierUninstaller::Ours : EarlierUninstaller::Foreign;
}

UninstallRecord InstallationRecord(const InstallerArchive& archive, const std::string& directory,
                                   const std::vector<UninstallShortcut>& links, const UninstallRecord* earlier) {
    UninstallRecord record;
    record.appName = archive.GetAppName();
    record.version = archive.GetVersion();
    record.publisher = archive.GetExtension(kPublisherKey);
    record.perUser = IsPerUserInstaller(archive);
    record.uninstallKey = UninstallKeyOf(archive);
    const std::string& first = archive.GetEntries().front().name;
    record.appPathsName = first.substr(first.rfind(kEntrySeparator) + 1);
    // A carried uninstaller, the last entry, goes as the uninstaller does.
    const std::size_t files = archive.GetEntries().size() - (archive.CarriesUninstaller() ? 1 : 0);
    for (std::size_t i = 0; i < files; ++i) record.files.push_back(archive.GetEntries()[i].name);
    if (earlier) {
        // Names are compared as Windows compares file names.
        std::vector<std::string> keys;
        for (const std::string& file : record.files) keys.push_back(EntryNameKey(file));
        for (const std::string& file : earlier->files) {
            if (std::find(keys.begin(), keys.end(), EntryNameKey(file)) != keys.end()) continue;
            if (!FileExists(BuildPath(directory, NativeEntryPath(file), nullptr))) continue;
            record.files.push_back(file);
            keys.push_back(EntryNameKey(file));
        }
    }
    // Appended one by one, as the links were made: one way of growing the
    // list in the whole stub instead of a copy assignment of its own.
    for (const UninstallShortcut& link : links) record.shortcuts.push_back(link);
    record.windowList = archive.GetWindowList();
    record.directory = directory;
    return record;
}

std::vector<RegistryValue> UninstallEntryValues(const UninstallRecord& record, const std::string& directory,
                                                const std::string& iconFile, std::uint64_t installedBytes) {
    const std::string uninstaller = "\"" + BuildPath(directory, kUninstallerFileName, nullptr) + "\"";
    return {
        Text("DisplayName", record.appName),
        Text("DisplayVersion", record.version),
        Text("Publisher", record.publisher),
        Text(kInstallLocationValue, directory),
        Text("DisplayIcon", iconFile),
        Text("UninstallString", uninstaller),
        Text("QuietUninstallString", uninstaller + " /S"),
        Number("EstimatedSize",
               static_cast<std::uint32_t>(std::min<std::uint64_t>((installedBytes + 1023) / 1024, UINT32_MAX))),
        Number("NoModify", 1),
        Number("NoRepair", 1),
    };
}

bool WriteUninstallerFile(const std::string& modulePath, std::uint64_t imageSize, const std::string& directory,
                          const UninstallRecord& record, std::string& error) {
    CFile self;
    if (!self.OpenForReading(modulePath)) {
        error = StringFormat("cannot read '%s' (%s)", modulePath.c_str(), LastErrorText());
        return false;
    }
    std::string bytes(static_cast<std::size_t>(imageSize), '\0');
    std::size_t got = 0;
    if (!self.TryRead(bytes.data(), bytes.size(), got)) {
        error = self.Failure().Text();
        return false;
    }
    if (imageSize == 0 || got != bytes.size()) {
        error = StringFormat("cannot read the extractor image of '%s'", modulePath.c_str());
        return false;
    }
    bytes += EncodeUninstallRecord(record);
    PrepareUnsignedExecutable(bytes); // a signed installer's image names its certificate table
    if (!ReplaceFile(directory, kUninstallerFileName, bytes, error)) return false;
    // A carried uninstaller of an earlier version left its record: this
    // uninstaller carries its own, and the one beside it would be stale.
    const std::string beside = BuildPath(directory, kUninstallRecordFileName, nullptr);
    UninstallRecord stale;
    if (FileExists(beside) && ReadUninstallRecordFile(beside, stale).empty() &&
        SameKey(stale.uninstallKey, record.uninstallKey))
        DeleteFileAt(beside);
    return true;
}

bool WriteUninstallRecordFile(const std::string& directory, const UninstallRecord& record, std::string& error) {
    return ReplaceFile(directory, kUninstallRecordFileName, EncodeUninstallRecord(record), error);
}

bool SetUpUninstaller(InstallerUi& ui, InstallerSystem& system, const InstallerArchive& archive,
                      const std::string& directory, const std::string& executablePath,
                      const std::vector<UninstallShortcut>& links, const UninstallRecord* earlier) {
    const UninstallRecord record = InstallationRecord(archive, directory, links, earlier);
    std::string error = UninstallRecordProblem(record);
    if (error.empty()) {
        if (archive.CarriesUninstaller())
            WriteUninstallRecordFile(directory, record, error);
        else
            WriteUninstallerFile(system.ModulePath(), ExtractorImageSize(archive), directory, record, error);
    }
    if (error.empty()) {
        std::uint64_t installed = 0;
        for (const ArchiveEntry& entry : archive.GetEntries()) installed += entry.originalSize;
        const std::string key = UninstallEntryKeyOf(record.uninstallKey);
        const std::string iconFile = archive.GetExtension(kIconKey) == kUninstallerIcon
                                         ? BuildPath(directory, kUninstallerFileName, nullptr)
                                         : executablePath;
        if (!system.WriteRegistryValues(InstallationScope(archive), key,
                                        UninstallEntryValues(record, directory, iconFile, installed)))
            error = StringFormat("cannot write the registry key '%s' (%s)", key.c_str(), LastErrorText());
    }
    if (error.empty()) return true;
    ui.ShowMessage(
        StringFormat("!Error: Unable to set up the uninstaller of '%s': %s.", record.appName.c_str(), error.c_str()),
        kProductName, kMessageError);
    return false;
}
