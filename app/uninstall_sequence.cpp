#include "app/uninstall_sequence.h"

#include "app/installation_messages.h"
#include "app/installer_startup.h"
#include "app/running_instances.h"
#include "archive/entry_name.h"
#include "archive/installation_names.h"
#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "common/utf8.h"
#include "uninstall/uninstall_record.h"
#include "uninstall/uninstaller_file.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr char kUsageFormat[] = "%s [/S]\n       /S : Silent uninstallation: no window, log in %%TEMP%%\n";
// How long the copy waits for the uninstaller to end.
constexpr std::uint32_t kRemoverWait = 30000;

// True when path lies below directory (letter case ignored, as Windows does).
bool IsBelow(const std::string& path, const std::string& directory) {
    const std::string prefix = FoldCaseUtf8(directory + PathSeparator());
    return FoldCaseUtf8(path).rfind(prefix, 0) == 0;
}

// Removes the folders of relative (a recorded path, "\" between components)
// below root, deepest first, as long as they are empty.
void RemoveEmptyFolders(const std::string& root, const std::string& relative) {
    std::string folder = relative;
    for (std::size_t end; (end = folder.rfind(kEntrySeparator)) != std::string::npos;) {
        folder.resize(end);
        if (!RemoveEmptyDirectory(BuildPath(root, NativeEntryPath(folder), nullptr))) return;
    }
}

// What a removal did: how many things it took away, and what it could not.
struct Removal {
    unsigned removed = 0;
    std::vector<std::string> failures;

    // Deletes the file at path when it exists; false when it is still there.
    // The uninstaller's own files do not count as removed.
    bool RemoveFile(const std::string& path, bool counts = true) {
        if (!FileExists(path)) return true;
        if (DeleteFileAt(path)) {
            if (counts) ++removed;
            return true;
        }
        failures.push_back(StringFormat("Unable to remove '%s' (%s)", path.c_str(), LastErrorText()));
        return false;
    }
    void RemoveKey(InstallerSystem& system, RegistryScope scope, const std::string& key) {
        if (system.DeleteRegistryKey(scope, key))
            ++removed;
        else
            failures.push_back("Unable to remove the registry key '" + key + "'");
    }
};

std::string UninstallerPath(const UninstallRecord& record) {
    return BuildPath(record.directory, kUninstallerFileName, nullptr);
}

// The first recorded file still in the recorded directory, or empty.
std::string RemainingFile(const UninstallRecord& record) {
    for (const std::string& file : record.files) {
        const std::string path = BuildPath(record.directory, NativeEntryPath(file), nullptr);
        if (FileExists(path)) return path;
    }
    return {};
}

// The copy's work: "/_remove=PID:PATH". Only the uninstaller of the recorded
// installation is deleted, once its removal is complete, whatever the
// command line says.
UninstallExit RunRemover(InstallerSystem& system, const UninstallRecord& record, const std::string& value) {
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos) return UninstallExit::BadCommandLine;
    const auto processId = static_cast<std::uint32_t>(std::strtoul(value.substr(0, colon).c_str(), nullptr, 10));
    const std::string uninstaller = value.substr(colon + 1);
    if (!IsSameFile(uninstaller, UninstallerPath(record)) || !IsUninstallerFile(uninstaller) ||
        !RemainingFile(record).empty())
        return UninstallExit::BadCommandLine;
    system.WaitForProcessEnd(processId, kRemoverWait);
    for (int attempt = 0; attempt < 20 && !DeleteFileAt(uninstaller) && FileExists(uninstaller); ++attempt)
        system.WaitForProcessEnd(processId, 100);
    RemoveEmptyDirectory(GetPathPart(uninstaller, kPathDirectory));
    return FileExists(uninstaller) ? UninstallExit::NotRemoved : UninstallExit::Removed;
}

// Removes what record names and what is still this installation's.
Removal RemoveInstallation(InstallerSystem& system, const UninstallRecord& record, const std::string& directory) {
    Removal removal;
    for (const std::string& file : record.files) {
        if (removal.RemoveFile(BuildPath(directory, NativeEntryPath(file), nullptr)))
            RemoveEmptyFolders(directory, file);
    }
    for (const UninstallShortcut& link : record.shortcuts) {
        const std::string folder = system.SpecialFolderPath(link.folder);
        if (folder.empty()) continue;
        // A link another installation has rewritten since is that one's.
        const std::string path = BuildPath(folder, NativeEntryPath(link.path), nullptr);
        if (FileExists(path) && !IsBelow(system.ShortcutTarget(path), directory)) continue;
        if (removal.RemoveFile(path)) RemoveEmptyFolders(folder, link.path);
    }
    const RegistryScope scope = RegistryScopeOf(record.perUser);
    if (!record.appPathsName.empty()) {
        // The application registers itself; the key goes only when it names this installation.
        const std::string key = AppPathsKeyOf(record.appPathsName);
        if (IsBelow(system.ReadRegistryString(scope, key, ""), directory)) removal.RemoveKey(system, scope, key);
    }
    // Another copy of the product installed since owns the entry now.
    const std::string entry = UninstallEntryKeyOf(record.uninstallKey);
    if (IsSameFile(system.ReadRegistryString(scope, entry, kInstallLocationValue), directory))
        removal.RemoveKey(system, scope, entry);
    return removal;
}

// Starts a copy of the uninstaller in the temporary directory, which deletes
// the uninstaller once this process has ended. The copy ends with the record
// it acts on, which a carried uninstaller no longer has beside it by then.
void StartRemover(InstallerSystem& system, const std::string& uninstaller, const UninstallRecord& record) {
    const std::string copy = BuildPath(GetEnvironmentValue("TEMP"),
                                       StringFormat("zor-uninstall-%u.exe", CurrentProcessId()).c_str(), nullptr);
    // A copy without its record would remove nothing: the uninstaller then stays.
    if (!CopyFileContents(uninstaller, copy)) return;
    CFile file;
    if (!file.Open(copy, FileAccess::Write, FileCreation::OpenExisting, FileShare::Exclusive)) return;
    const std::string bytes = EncodeUninstallRecord(record);
    if (!file.TrySeek(0, SeekOrigin::End) || !file.TryWrite(bytes.data(), bytes.size())) return;
    file.Close();
    system.StartProgram(copy, StringFormat("%s%u:%s", kRemovalSwitch, CurrentProcessId(), uninstaller.c_str()));
}

UninstallExit Refuse(InstallerUi& ui, const std::string& uninstaller, const std::string& why) {
    ui.ShowMessage(StringFormat("!Error: Unable to uninstall: '%s' %s.", uninstaller.c_str(), why.c_str()),
                   kProductName, kMessageError);
    return UninstallExit::RecordRefused;
}

} // namespace

bool HasUninstallerName(const std::string& path) {
    return FoldCaseUtf8(GetPathPart(path, kPathFileName)) == kUninstallerFileName;
}

UninstallExit RunUninstall(InstallerUi& ui, InstallerSystem& system, const ProgramArguments& arguments) {
    const std::string uninstaller = system.ModulePath();
    UninstallRecord record;
    if (const std::string problem = ReadUninstallerRecord(uninstaller, record); !problem.empty())
        return Refuse(ui, uninstaller, problem);

    // The record's spelling of the directory is the one the installation
    // used for its links and registry values.
    const std::string& directory = record.directory;
    const bool inItsDirectory = IsSameFile(GetPathPart(uninstaller, kPathDirectory), directory);
    // The copy's switch comes alone; the uninstaller takes "/S" at most.
    if (arguments.hasRemoval && !arguments.hasDirectory && arguments.options.empty() && !inItsDirectory)
        return RunRemover(system, record, arguments.removal);
    const bool onlySilent = !arguments.hasRemoval && !arguments.hasDirectory &&
                            std::all_of(arguments.options.begin(), arguments.options.end(),
                                        [](const std::string& option) { return option == kSilentSwitch; });
    if (!onlySilent) {
        const std::string baseName = GetPathPart(GetPathPart(uninstaller, kPathFileName), kPathBaseName);
        ui.ShowMessage(StringFormat(kUsageFormat, baseName.c_str()), record.appName, kMessageWarning);
        return UninstallExit::BadCommandLine;
    }
    if (!inItsDirectory)
        return Refuse(ui, uninstaller,
                      directory.empty()
                          ? std::string("does not name the folder of its installation")
                          : "belongs to the installation in '" + directory + "' and removes nothing elsewhere");

    const std::string title = StringFormat("%s uninstallation", record.appName.c_str());
    if (!arguments.silent &&
        ui.ShowMessage(StringFormat("Do you want to remove '%s' (%s) from:\n\n%s ?", record.appName.c_str(),
                                    record.version.c_str(), directory.c_str()),
                       title, kMessageYesNoQuestion) != kButtonYes)
        return UninstallExit::Canceled;
    if (!RunningInstancesClosed(ui, system, record.windowList, record.appName, "removing", arguments.silent, title))
        return arguments.silent ? UninstallExit::ApplicationRunning : UninstallExit::Canceled;

    Removal removal = RemoveInstallation(system, record, directory);
    // A carried uninstaller's record goes once everything it names has gone:
    // until then it is what can remove the rest.
    if (removal.failures.empty() && IsCarriedUninstallerFile(uninstaller))
        removal.RemoveFile(BuildPath(directory, kUninstallRecordFileName, nullptr), false);
    for (const std::string& failure : removal.failures) InstallationProgress(failure.c_str(), 0);
    std::string result = StringFormat("'%s' (%s) was removed.", record.appName.c_str(), record.version.c_str());
    if (!removal.failures.empty())
        result = StringFormat("'%s' (%s) was not removed completely:\n\n%s", record.appName.c_str(),
                              record.version.c_str(), removal.failures.front().c_str());
    else if (removal.removed == 0)
        result = StringFormat("'%s' (%s) was not found in '%s': there was nothing to remove.", record.appName.c_str(),
                              record.version.c_str(), directory.c_str());
    else if (CountDirectoryEntries(directory) > 1) // the uninstaller itself is still there
        result += StringFormat("\nFiles it did not install stay in '%s'.", directory.c_str());
    ui.ShowMessage(result, title, removal.failures.empty() ? kMessagePlain : kMessageError);
    if (!removal.failures.empty()) return UninstallExit::NotRemoved;
    StartRemover(system, uninstaller, record);
    return UninstallExit::Removed;
}
