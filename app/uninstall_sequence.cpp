#include "app/uninstall_sequence.h"

#include "app/command_line.h"
#include "app/installation_messages.h"
#include "app/installation_sequence.h"
#include "app/installer_startup.h"
#include "app/uninstaller_setup.h"
#include "archive/entry_name.h"
#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "common/utf8.h"
#include "uninstall/uninstall_record.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr char kSilentSwitch[] = "/S";
constexpr char kRemoveSwitch[] = "/_remove=";
constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr char kUsageFormat[] = "%s [/S]\n       /S : Silent uninstallation: no window, log in %%TEMP%%\n";
// How long the copy waits for the uninstaller to end.
constexpr std::uint32_t kRemoverWait = 30000;

constexpr const char* kMeanings[] = {
    "removed",
    "bad command line",
    "uninstall record not loaded",
    "",
    "application running",
    "not everything removed",
    "",
    "canceled",
    "",
};

// The whole file at path; false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes) {
    CFile file;
    if (!file.OpenForReading(path)) return false;
    const std::uint64_t length = file.GetLength();
    if (length > (64u << 20)) return false; // an uninstaller is a few hundred KiB
    bytes.resize(static_cast<std::size_t>(length));
    return file.Read(bytes.data(), bytes.size()) == bytes.size();
}

RegistryScope ScopeOf(const UninstallRecord& record) {
    return record.perUser ? RegistryScope::CurrentUser : RegistryScope::Machine;
}

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

// Deletes path when it exists; false when it is still there.
bool RemoveFile(const std::string& path, std::vector<std::string>& failures) {
    if (!FileExists(path) || DeleteFileAt(path)) return true;
    failures.push_back(StringFormat("Unable to remove '%s' (%s)", path.c_str(), LastErrorText()));
    return false;
}

// The uninstaller copy's work: "/_remove=PID:PATH".
InstallerExit RunRemover(InstallerHost& host, const std::string& value) {
    const std::size_t colon = value.find(':');
    if (colon == std::string::npos) return InstallerExit::BadCommandLine;
    const auto processId = static_cast<std::uint32_t>(std::strtoul(value.substr(0, colon).c_str(), nullptr, 10));
    const std::string uninstaller = value.substr(colon + 1);
    // Only an uninstaller is ever deleted, whatever the command line says.
    if (!IsAbsolutePath(uninstaller) || !IsUninstallerFile(uninstaller)) return InstallerExit::BadCommandLine;
    host.WaitForProcessEnd(processId, kRemoverWait);
    for (int attempt = 0; attempt < 20 && !DeleteFileAt(uninstaller) && FileExists(uninstaller); ++attempt)
        host.WaitForProcessEnd(processId, 100);
    RemoveEmptyDirectory(GetPathPart(uninstaller, kPathDirectory));
    return FileExists(uninstaller) ? InstallerExit::ExtractionFailed : InstallerExit::Installed;
}

// Removes what record names; the failures are collected.
void RemoveInstallation(InstallerHost& host, const UninstallRecord& record, const std::string& directory,
                        std::vector<std::string>& failures) {
    for (const std::string& file : record.files) {
        if (RemoveFile(BuildPath(directory, NativeEntryPath(file), nullptr), failures))
            RemoveEmptyFolders(directory, file);
    }
    for (const UninstallShortcut& link : record.shortcuts) {
        const std::string folder = host.SpecialFolderPath(link.folder);
        if (folder.empty()) continue;
        if (RemoveFile(BuildPath(folder, NativeEntryPath(link.path), nullptr), failures))
            RemoveEmptyFolders(folder, link.path);
    }
    const RegistryScope scope = ScopeOf(record);
    if (!record.appPathsName.empty()) {
        // The application registers itself; the key goes only when it names this installation.
        const std::string key = kAppPathsKey + record.appPathsName;
        if (IsBelow(host.ReadRegistryString(scope, key, ""), directory) && !host.DeleteRegistryKey(scope, key))
            failures.push_back("Unable to remove the registry key '" + key + "'");
    }
    const std::string entry = std::string(kUninstallEntriesKey) + "\\" + record.uninstallKey;
    if (!host.DeleteRegistryKey(scope, entry)) failures.push_back("Unable to remove the registry key '" + entry + "'");
}

// Starts a copy of the uninstaller in the temporary directory, which deletes
// the uninstaller once this process has ended.
void StartRemover(InstallerHost& host, const std::string& uninstaller) {
    const std::string copy = BuildPath(GetEnvironmentValue("TEMP"),
                                       StringFormat("zor-uninstall-%u.exe", CurrentProcessId()).c_str(), nullptr);
    if (CopyFileContents(uninstaller, copy))
        host.StartProgram(copy, StringFormat("%s%u:%s", kRemoveSwitch, CurrentProcessId(), uninstaller.c_str()));
}

} // namespace

bool IsUninstallerFile(const std::string& path) {
    CFile file;
    if (!file.OpenForReading(path)) return false;
    const std::uint64_t length = file.GetLength();
    if (length < uninstall_format::kTrailerSize) return false;
    std::uint8_t trailer[uninstall_format::kTrailerSize];
    file.Seek(static_cast<std::int64_t>(length - sizeof trailer), SeekOrigin::Begin);
    return file.Read(trailer, sizeof trailer) == sizeof trailer && EndsWithUninstallRecord(trailer, sizeof trailer);
}

const char* UninstallExitMeaning(InstallerExit exit) { return kMeanings[static_cast<int>(exit)]; }

InstallerExit RunUninstall(InstallerHost& host, bool silent) {
    const std::string uninstaller = host.ModulePath();
    std::string options = host.RawCommandLine(), removeValue;
    if (CutTrailingArgument(options, kRemoveSwitch, removeValue)) return RunRemover(host, removeValue);

    std::string bytes;
    UninstallRecord record;
    std::string problem = ReadFileBytes(uninstaller, bytes) ? std::string() : "cannot be read";
    if (problem.empty())
        problem = ParseUninstallRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record);
    if (!problem.empty()) {
        host.ShowMessage(StringFormat("!Error: Unable to uninstall: '%s' %s.", uninstaller.c_str(), problem.c_str()),
                         kProductName, kMessageError);
        return InstallerExit::ArchiveNotLoaded;
    }
    const CommandLine commandLine(options.c_str());
    for (std::size_t i = 1; i < commandLine.GetCount(); ++i) {
        if (commandLine.GetAt(i) != kSilentSwitch) {
            const std::string baseName = GetPathPart(GetPathPart(uninstaller, kPathFileName), kPathBaseName);
            host.ShowMessage(StringFormat(kUsageFormat, baseName.c_str()), record.appName, kMessageWarning);
            return InstallerExit::BadCommandLine;
        }
    }

    const std::string directory = GetPathPart(uninstaller, kPathDirectory);
    const std::string title = StringFormat("%s uninstallation", record.appName.c_str());
    if (!silent && host.ShowMessage(StringFormat("Do you want to remove '%s' (%s) from:\n\n%s ?",
                                                 record.appName.c_str(), record.version.c_str(), directory.c_str()),
                                    title, kMessageYesNoQuestion) != kButtonYes)
        return InstallerExit::Canceled;
    if (!RunningInstancesClosed(host, record.windowList, record.appName, "removing", silent, title))
        return silent ? InstallerExit::ApplicationRunning : InstallerExit::Canceled;

    std::vector<std::string> failures;
    RemoveInstallation(host, record, directory, failures);
    for (const std::string& failure : failures) InstallationProgress(failure.c_str(), 0);
    const long left = CountDirectoryEntries(directory);
    std::string result = StringFormat("'%s' (%s) was removed.", record.appName.c_str(), record.version.c_str());
    if (!failures.empty())
        result = StringFormat("'%s' (%s) was not removed completely:\n\n%s", record.appName.c_str(),
                              record.version.c_str(), failures.front().c_str());
    else if (left > 1) // the uninstaller itself is still there
        result += StringFormat("\nFiles it did not install stay in '%s'.", directory.c_str());
    host.ShowMessage(result, title, failures.empty() ? kMessagePlain : kMessageError);
    StartRemover(host, uninstaller);
    return failures.empty() ? InstallerExit::Installed : InstallerExit::ExtractionFailed;
}
