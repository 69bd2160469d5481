#include "app/installation_sequence.h"

#include "app/extraction_progress.h"
#include "app/installation_messages.h"
#include "app/installation_scope.h"
#include "app/installer_startup.h"
#include "app/registered_installation.h"
#include "app/uninstaller_setup.h"
#include "app/window_search.h"
#include "archive/entry_name.h"
#include "archive/install_folder.h"
#include "archive/installer_archive.h"
#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/file_text.h"
#include "common/last_error.h"
#include "common/path.h"
#include "common/special_folders.h"
#include "common/string_format.h"

#include <cstdio>
#include <vector>

namespace {

// The folder of the publisher named in the extension block, kCompanyFolder
// when the installer names none (the loader has checked any name given).
std::string PublisherFolder(const InstallerArchive& archive) {
    const std::string publisher = archive.GetExtension(archive_format::extension_block::kPublisherKey);
    return publisher.empty() ? kCompanyFolder : publisher;
}

// The directory proposed for a fresh installation: the installer's template
// expanded, else its scope's default one, else the publisher's folder below
// Program Files.
std::string ProposedDirectory(InstallerHost& host, const InstallerArchive& archive) {
    const std::string programFiles = host.SpecialFolderPath(kFolderProgramFiles);
    const std::string publisher = PublisherFolder(archive);
    std::string pattern = archive.GetExtension(archive_format::extension_block::kInstallDirKey);
    if (pattern.empty()) pattern = DefaultInstallDirTemplate(archive);
    if (pattern.empty()) return BuildPath(programFiles, publisher, nullptr);
    return ExpandInstallDirTemplate(
        pattern, {programFiles, host.SpecialFolderPath(kFolderLocalAppData), publisher, archive.GetAppName()});
}

// Where the installation goes and what it does, as decided before any file
// is written.
struct InstallationPlan {
    bool fresh = true;
    std::string directory;
};

// Decides between an update of the registered installation and a fresh one,
// asking the user as needed (never under "/S"). False when the user
// cancelled the options dialog (the cancellation has been shown).
bool ChooseInstallation(InstallerHost& host, InstallerArchive& archive, const InstallationRequest& request,
                        const std::string& title, InstallationPlan& plan) {
    std::string previousPath = RegisteredInstallationPath(host, archive);
    if (request.force || (request.silent && !request.directory.empty())) previousPath.clear();
    plan.fresh = previousPath.empty();

    if (!previousPath.empty()) {
        plan.directory = InstallationDirectoryFromRegisteredPath(previousPath, archive.GetFirstFileName());
        if (request.silent) return true;
        const std::string question =
            StringFormat("'%s' (%s) will be upadated in:\n\n%s\n\nDo you confirm the installation path ?",
                         archive.GetAppName().c_str(), archive.GetVersion().c_str(), previousPath.c_str());
        if (host.ShowMessage(question, title, kMessageYesNoQuestion) != kButtonYes) {
            previousPath.clear();
            plan.fresh = true;
        }
    }
    if (!previousPath.empty()) return true;

    std::string directory = request.directory.empty() ? ProposedDirectory(host, archive) : request.directory;
    if (request.silent) {
        // Every option keeps the state the archive gives it.
        plan.directory = directory;
        return true;
    }
    std::uint32_t options = archive.GetOptions();
    const std::string caption =
        StringFormat("Installation of %s (%s)", archive.GetAppName().c_str(), archive.GetVersion().c_str());
    if (!host.RunOptionsDialog(caption, directory, options)) {
        host.ShowMessage(StringFormat("'%s' installation canceled.", archive.GetAppName().c_str()), title,
                         kMessageError);
        return false;
    }
    plan.directory = directory;
    archive.SetOptions(options);
    return true;
}

struct ShortcutsMade {
    std::vector<std::string> created; // the link files this run wrote
    // Every link there is now (made or found), by shell folder and path below it.
    std::vector<UninstallShortcut> links;
    bool failed = false; // a link could not be made (and was shown)
};

// Makes the shortcuts the options ask for. Links that were there before are
// kept and not among those created.
ShortcutsMade CreateShortcuts(InstallerHost& host, const InstallerArchive& archive, const std::string& executablePath) {
    const std::uint32_t options = archive.GetOptions();
    const bool allUsers = (options & kOptionAllUsers) != 0;
    const std::string publisher = PublisherFolder(archive);
    const struct {
        bool wanted;
        int csidl;
        const char* subfolder;
    } shortcuts[] = {
        {true, allUsers ? kFolderCommonPrograms : kFolderPrograms, publisher.c_str()},
        {(options & kOptionStartWithSession) != 0, allUsers ? kFolderCommonStartup : kFolderStartup, ""},
        {(options & kOptionDesktopShortcut) != 0, allUsers ? kFolderCommonDesktop : kFolderDesktop, ""},
        {(options & kOptionQuickLaunchShortcut) != 0, kFolderApplicationData, kQuickLaunchFolder},
    };
    ShortcutsMade made;
    for (const auto& shortcut : shortcuts) {
        if (!shortcut.wanted) continue;
        std::string linkPath;
        const ShortcutResult result = CreateShortcut(host, shortcut.csidl, shortcut.subfolder,
                                                     archive.GetShortcutName(), executablePath, &linkPath);
        if (result == ShortcutResult::Created) made.created.push_back(linkPath);
        if (result != ShortcutResult::Failed)
            made.links.push_back(
                {shortcut.csidl, (*shortcut.subfolder != '\0' ? std::string(shortcut.subfolder) + "\\" : "") +
                                     archive.GetShortcutName() + ".lnk"});
        if (result == ShortcutResult::Failed) made.failed = true;
    }
    return made;
}

// A fresh installation that failed installed no application: links this run
// made would point at a missing file.
void RemoveShortcuts(const std::vector<std::string>& links) {
    for (const std::string& link : links) {
        InstallationProgress(StringFormat("Removing shortcut '%s'...", link.c_str()).c_str(), 0);
        std::remove(link.c_str());
    }
}

// After a failed extraction: writes every line of the installation message
// list to the log file and offers to open it.
void OfferInstallationLog(InstallerHost& host, const InstallerArchive& archive) {
    const std::string question =
        StringFormat("!Error: Unable to extract files (%s)\nDo you want to display installation log informations ?",
                     archive.GetErrorText().c_str());
    const std::string logPath = InstallationLogPath(host);
    if (!WriteInstallationLog(host, archive.GetAppName(), {})) {
        host.ShowMessage(StringFormat("Unable to create file '%s' (%s)", logPath.c_str(), LastErrorText()), "ok",
                         kMessagePlain);
    }
    if (host.ShowMessage(question, kProductName, kMessageYesNoError) == kButtonYes) host.ShellOpen(logPath);
}

} // namespace

ShortcutResult CreateShortcut(InstallerHost& host, int csidl, const std::string& subfolder,
                              const std::string& shortcutName, const std::string& target, std::string* linkFile) {
    const std::string folderPath = host.SpecialFolderPath(csidl);
    const std::string folder = subfolder.empty() ? folderPath : BuildPath(folderPath, subfolder, nullptr);
    const std::string linkPath = BuildPath(folder, shortcutName, "lnk");
    if (linkFile) *linkFile = linkPath;
    if (!folderPath.empty() && FileExists(linkPath)) return ShortcutResult::Existed;

    // Without the special folder the link would land relative to the working
    // directory, somewhere the user never looks: it is reported as not made.
    bool saved = false;
    if (folderPath.empty())
        SetLastErrorCode(kErrorPathNotFound);
    else
        saved = host.SaveShortcut(linkPath, target);
    if (saved) return ShortcutResult::Created;
    host.ShowMessage(StringFormat("Unable to create shortcut '%s' (%s)", linkPath.c_str(), LastErrorText()),
                     kProductName, kMessageError);
    return ShortcutResult::Failed;
}

bool RunningInstancesClosed(InstallerHost& host, const std::string& windowList, const std::string& appName,
                            const char* action, bool silent, const std::string& title) {
    WindowSearch search;
    search.SetWindowList(windowList);
    while (SearchWindows(host.Windows(), search) != 0) {
        if (silent) {
            host.ShowMessage("!Error: following windows are open, '" + appName + "' is left as it is:\n" +
                                 FoundWindowsText(search),
                             title, kMessageError);
            return false;
        }
        // Titles are joined as they are, never used as a format.
        const std::string text = "Following windows have to be closed before " + std::string(action) + " '" + appName +
                                 "':\n\n" + FoundWindowsText(search) + "\n" + "Thanks to proceed...\n";
        if (host.ShowMessage(text, title, kMessageOkCancelInfo) != kButtonOk) return false;
    }
    return true;
}

std::string InstallationLogPath(InstallerHost& host) {
    return GetEnvironmentValue("TEMP") + PathSeparator() + GetPathPart(host.ModulePath(), kPathBaseName) + ".log";
}

bool WriteInstallationLog(InstallerHost& host, const std::string& appName, const std::vector<std::string>& extra) {
    CFileText log;
    if (!log.Create(InstallationLogPath(host))) return false;
    log.WriteLine(StringFormat("'%s' log installation execution:", appName.c_str()));
    for (const std::string& line : InstallationMessages()) log.WriteLine(line);
    for (const std::string& line : extra) log.WriteLine(line);
    log.Close();
    return true;
}

InstallerExit RunInstallation(InstallerHost& host, InstallerArchive& archive, const InstallationRequest& request) {
    const std::string title = StringFormat("%s installation", archive.GetAppName().c_str());
    ApplyInstallationScope(archive);

    InstallationPlan plan;
    if (!ChooseInstallation(host, archive, request, title, plan)) return InstallerExit::Canceled;

    const std::string directory = ExpandEnvironmentRefs(plan.directory);
    // Checked before anything is written: otherwise the directory and the
    // shortcuts would be made, then the extraction would stop halfway.
    if (const ArchiveEntry* entry = archive.FindTooLongDestination(directory)) {
        host.ShowMessage(StringFormat("!Error: the path of '%s' in '%s' would be longer than %zu characters.\n'%s' "
                                      "installation canceled.",
                                      entry->name.c_str(), directory.c_str(), kMaxPath - 1,
                                      archive.GetAppName().c_str()),
                         title, kMessageError);
        return InstallerExit::DirectoryFailed;
    }
    if (!DirectoryExists(directory) && !CreateDirectoryTree(directory)) {
        host.ShowMessage(StringFormat("!Error: unable to create folder '%s'.\n'%s' installation canceled.",
                                      directory.c_str(), archive.GetAppName().c_str()),
                         title, kMessageError);
        return InstallerExit::DirectoryFailed;
    }

    if (!RunningInstancesClosed(host, archive.GetWindowList(), archive.GetAppName(), "updating", request.silent, title))
        return request.silent ? InstallerExit::ApplicationRunning : InstallerExit::Canceled;

    const std::string executablePath = BuildPath(directory, NativeEntryPath(archive.GetFirstFileName()), nullptr);
    const ShortcutsMade links = CreateShortcuts(host, archive, executablePath);

    bool extracted = false;
    {
        ExtractionProgress progress(host, archive);
        extracted = archive.ExtractFiles(directory);
    }
    if (!extracted) {
        if (plan.fresh) RemoveShortcuts(links.created);
        if (request.silent)
            host.ShowMessage(StringFormat("!Error: Unable to extract files (%s)", archive.GetErrorText().c_str()),
                             kProductName, kMessageError);
        else
            OfferInstallationLog(host, archive);
        return InstallerExit::ExtractionFailed;
    }

    const bool uninstaller = archive.GetExtension(archive_format::extension_block::kUninstallKeyKey).empty() ||
                             SetUpUninstaller(host, archive, directory, executablePath, links.links);

    host.ShowMessage(StringFormat("%s (%s) succesfully %s.", archive.GetAppName().c_str(), archive.GetVersion().c_str(),
                                  plan.fresh ? "installed" : "updated"),
                     title, kMessagePlain);

    if (!request.silent && (archive.GetOptions() & kOptionStartAfterInstallation) != 0 &&
        !host.ShellOpen(executablePath)) {
        host.ShowMessage(StringFormat("!Error: Unable to execute '%s' - %s (%s)", archive.GetAppName().c_str(),
                                      executablePath.c_str(), LastErrorText()),
                         title, kMessageError);
    }
    if (links.failed) return InstallerExit::ShortcutsFailed;
    return uninstaller ? InstallerExit::Installed : InstallerExit::UninstallerFailed;
}
