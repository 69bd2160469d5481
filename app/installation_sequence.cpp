#include "app/installation_sequence.h"

#include "app/extraction_progress.h"
#include "app/installation_journal.h"
#include "app/installation_messages.h"
#include "app/installation_scope.h"
#include "app/installer_startup.h"
#include "app/registered_installation.h"
#include "app/running_instances.h"
#include "app/uninstaller_setup.h"
#include "archive/entry_name.h"
#include "archive/install_folder.h"
#include "archive/installation_names.h"
#include "archive/installer_archive.h"
#include "common/environment.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/last_error.h"
#include "common/path.h"
#include "common/special_folders.h"
#include "common/string_format.h"

#include <algorithm>
#include <vector>

namespace {

// The folder of the publisher named in the extension block, kDefaultPublisher
// when the installer names none (the loader has checked any name given).
std::string PublisherFolder(const InstallerArchive& archive) {
    const std::string publisher = archive.GetExtension(archive_format::extension_block::kPublisherKey);
    return publisher.empty() ? kDefaultPublisher : publisher;
}

// The directory proposed for a fresh installation: the installer's template
// (its "\" the platform's separator) expanded, else its scope's default one,
// else the publisher's folder below Program Files.
std::string ProposedDirectory(InstallerSystem& system, const InstallerArchive& archive) {
    const std::string programFiles = system.SpecialFolderPath(kFolderProgramFiles);
    const std::string publisher = PublisherFolder(archive);
    std::string pattern = archive.GetExtension(archive_format::extension_block::kInstallDirKey);
    if (pattern.empty()) pattern = DefaultInstallDirTemplate(archive);
    if (pattern.empty()) return BuildPath(programFiles, publisher, nullptr);
    return ExpandInstallDirTemplate(
        NativeEntryPath(pattern),
        {programFiles, system.SpecialFolderPath(kFolderLocalAppData), publisher, archive.GetAppName()});
}

// Where the installation goes and what it does, as decided before any file
// is written.
struct InstallationPlan {
    bool fresh = true;
    std::string directory;
};

// Decides between an update of the earlier installation and a fresh one,
// asking the user as needed (never under "/S"). False when the user
// cancelled the options dialog (the cancellation has been shown).
bool ChooseInstallation(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive,
                        const InstallationRequest& request, const std::string& title, InstallationPlan& plan) {
    EarlierInstallation earlier = FindEarlierInstallation(system, archive);
    if (request.force || (request.silent && !request.directory.empty())) earlier = {};
    plan.fresh = earlier.directory.empty();

    if (!plan.fresh) {
        plan.directory = earlier.directory;
        if (request.silent) return true;
        const std::string question =
            StringFormat("'%s' (%s) will be upadated in:\n\n%s\n\nDo you confirm the installation path ?",
                         archive.GetAppName().c_str(), archive.GetVersion().c_str(), earlier.executablePath.c_str());
        if (ui.ShowMessage(question, title, kMessageYesNoQuestion) == kButtonYes) return true;
        plan.fresh = true;
    }

    std::string directory = request.directory.empty() ? ProposedDirectory(system, archive) : request.directory;
    if (request.silent) {
        // Every option keeps the state the archive gives it.
        plan.directory = directory;
        return true;
    }
    std::uint32_t options = archive.GetOptions();
    const std::string caption =
        StringFormat("Installation of %s (%s)", archive.GetAppName().c_str(), archive.GetVersion().c_str());
    if (!ui.RunOptionsDialog(caption, directory, options)) {
        ui.ShowMessage(StringFormat("'%s' installation canceled.", archive.GetAppName().c_str()), title, kMessageError);
        return false;
    }
    plan.directory = directory;
    archive.SetOptions(options);
    return true;
}

// Checks made before anything is written: the directory can be one, every
// destination fits the path limit, and no other product's uninstaller is in
// the way of this one's. earlier receives this product's earlier record when
// the directory holds one (hasEarlier). False after the refusal was shown,
// with exit set.
bool CheckDestination(InstallerUi& ui, const InstallerArchive& archive, const std::string& directory,
                      const std::string& title, UninstallRecord& earlier, bool& hasEarlier, InstallerExit& exit) {
    const char* appName = archive.GetAppName().c_str();
    exit = InstallerExit::DirectoryFailed;
    if (const std::string problem = InstallDirectoryProblem(directory); !problem.empty()) {
        ui.ShowMessage(StringFormat("!Error: '%s' cannot be the installation folder: it %s.\n'%s' installation "
                                    "canceled.",
                                    directory.c_str(), problem.c_str(), appName),
                       title, kMessageError);
        return false;
    }
    // Otherwise the directory and the shortcuts would be made, then the
    // extraction would stop halfway.
    if (const ArchiveEntry* entry = archive.FindTooLongDestination(directory)) {
        ui.ShowMessage(StringFormat("!Error: the path of '%s' in '%s' would be longer than %zu characters.\n'%s' "
                                    "installation canceled.",
                                    entry->name.c_str(), directory.c_str(), kMaxPath - 1, appName),
                       title, kMessageError);
        return false;
    }
    hasEarlier = false;
    const std::string key = UninstallKeyOf(archive);
    if (key.empty()) return true;
    switch (ReadEarlierUninstaller(directory, key, earlier)) {
    case EarlierUninstaller::None:
        return true;
    case EarlierUninstaller::Ours:
        hasEarlier = true;
        return true;
    case EarlierUninstaller::Foreign:
        break;
    }
    exit = InstallerExit::ForeignFolder;
    const std::string holds =
        earlier.appName.empty()
            ? StringFormat("a file '%s' that is not the uninstaller of '%s'", kUninstallerFileName, appName)
            : StringFormat("the installation of '%s' (%s)", earlier.appName.c_str(), earlier.version.c_str());
    ui.ShowMessage(StringFormat("!Error: the folder '%s' holds %s.\nEach application needs a folder of its own: "
                                "'%s' installation canceled.",
                                directory.c_str(), holds.c_str(), appName),
                   title, kMessageError);
    return false;
}

struct ShortcutsMade {
    // This product's links: made or rewritten by this run, or made by an
    // earlier installation and still there.
    std::vector<UninstallShortcut> links;
    bool failed = false; // a link could not be made (and was shown)
};

// Makes the shortcuts the options ask for. A link that is already there is
// saved again when the earlier installation's record names it (it is this
// product's, and may point at an executable the update has moved);
// otherwise it is kept as it is and not this installation's.
ShortcutsMade CreateShortcuts(InstallerUi& ui, InstallerSystem& system, const InstallerArchive& archive,
                              const std::string& executablePath, const UninstallRecord* earlier,
                              InstallationJournal& journal) {
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
    const auto recorded = [&](const UninstallShortcut& link) {
        return earlier &&
               std::find(earlier->shortcuts.begin(), earlier->shortcuts.end(), link) != earlier->shortcuts.end();
    };
    ShortcutsMade made;
    for (const auto& shortcut : shortcuts) {
        if (!shortcut.wanted) continue;
        const UninstallShortcut link{shortcut.csidl,
                                     (*shortcut.subfolder != '\0' ? std::string(shortcut.subfolder) + "\\" : "") +
                                         archive.GetShortcutName() + ".lnk"};
        std::string linkPath;
        const ShortcutResult result =
            CreateShortcut(ui, system, shortcut.csidl, shortcut.subfolder, archive.GetShortcutName(), executablePath,
                           &linkPath, recorded(link));
        if (result == ShortcutResult::Created) journal.NoteLinkCreated(linkPath);
        if (result == ShortcutResult::Created || result == ShortcutResult::Replaced) made.links.push_back(link);
        if (result == ShortcutResult::Failed) made.failed = true;
    }
    // The earlier installation's links that this run did not ask for stay
    // its own while they are there.
    if (earlier) {
        for (const UninstallShortcut& link : earlier->shortcuts) {
            const std::string folder = system.SpecialFolderPath(link.folder);
            if (!folder.empty() && std::find(made.links.cbegin(), made.links.cend(), link) == made.links.cend() &&
                FileExists(BuildPath(folder, NativeEntryPath(link.path), nullptr)))
                made.links.push_back(link);
        }
    }
    return made;
}

// Extracts every file, showing the progress. False with the text the
// failure's message gives in its parentheses: the archive's error text, or
// the file layer's sentence (a full disk, an I/O error), which is also
// reported as a progress line.
bool ExtractWithProgress(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive,
                         const std::string& directory, std::string& failure) {
    ExtractionProgress progress(ui, system, archive);
    if (archive.ExtractFiles(directory)) return true;
    if (const FileFailure* met = archive.FileFailureMet()) {
        failure = met->Text();
        InstallationProgress(failure.c_str(), 0);
    } else {
        // Memory short for the dictionary is said as it is: nothing was written.
        failure = archive.GetErrorCode() == ZorInstallerError::MemoryAllocation ? archive.LastFailure().line
                                                                                : archive.GetErrorText();
    }
    return false;
}

// After a failed extraction: writes every line of the installation message
// list to the log file and offers to open it.
void OfferInstallationLog(InstallerUi& ui, InstallerSystem& system, const InstallerArchive& archive,
                          const std::string& failure) {
    const std::string question =
        StringFormat("!Error: Unable to extract files (%s)\nDo you want to display installation log informations ?",
                     failure.c_str());
    const std::string logPath = InstallationLogPath(system);
    if (!WriteInstallationLog(system, archive.GetAppName(), {})) {
        ui.ShowMessage(StringFormat("Unable to create file '%s' (%s)", logPath.c_str(), LastErrorText()), "ok",
                       kMessagePlain);
    }
    if (ui.ShowMessage(question, kProductName, kMessageYesNoError) == kButtonYes) system.ShellOpen(logPath);
}

} // namespace

ShortcutResult CreateShortcut(InstallerUi& ui, InstallerSystem& system, int csidl, const std::string& subfolder,
                              const std::string& shortcutName, const std::string& target, std::string* linkFile,
                              bool replace) {
    const std::string folderPath = system.SpecialFolderPath(csidl);
    const std::string folder = subfolder.empty() ? folderPath : BuildPath(folderPath, subfolder, nullptr);
    const std::string linkPath = BuildPath(folder, shortcutName, "lnk");
    if (linkFile) *linkFile = linkPath;
    const bool existed = !folderPath.empty() && FileExists(linkPath);
    if (existed && !replace) return ShortcutResult::Existed;

    // Without the special folder the link would land relative to the working
    // directory, somewhere the user never looks: it is reported as not made.
    bool saved = false;
    if (folderPath.empty())
        SetLastErrorCode(kErrorPathNotFound);
    else
        saved = system.SaveShortcut(linkPath, target);
    if (saved) return existed ? ShortcutResult::Replaced : ShortcutResult::Created;
    ui.ShowMessage(StringFormat("Unable to create shortcut '%s' (%s)", linkPath.c_str(), LastErrorText()), kProductName,
                   kMessageError);
    return ShortcutResult::Failed;
}

std::string InstallationLogPath(InstallerSystem& system) {
    return GetEnvironmentValue("TEMP") + PathSeparator() + GetPathPart(system.ModulePath(), kPathBaseName) + ".log";
}

bool WriteInstallationLog(InstallerSystem& system, const std::string& appName, const std::vector<std::string>& extra) {
    // The log is written after failures too, a full disk among them: one
    // that cannot be written is reported like one that cannot be created
    // (the last error says why).
    CFile log;
    if (!log.Create(InstallationLogPath(system))) return false;
    std::string text = StringFormat("'%s' log installation execution:\r\n", appName.c_str());
    for (const std::string& line : InstallationMessages()) text += line + "\r\n";
    for (const std::string& line : extra) text += line + "\r\n";
    return log.TryWrite(text.data(), text.size());
}

InstallerExit RunInstallation(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive,
                              const InstallationRequest& request) {
    const std::string title = StringFormat("%s installation", archive.GetAppName().c_str());
    ApplyInstallationScope(archive);

    // "/extract DIR" goes the installation's way to the last file and no
    // further, without its questions, shortcuts and uninstaller.
    const bool extractOnly = request.extractOnly;
    InstallationPlan plan;
    if (extractOnly)
        plan.directory = request.extractDirectory;
    else if (!ChooseInstallation(ui, system, archive, request, title, plan))
        return InstallerExit::Canceled;

    const std::string directory = WithNativeSeparators(ExpandEnvironmentRefs(plan.directory));
    UninstallRecord earlier;
    bool hasEarlier = false;
    InstallerExit refusal = InstallerExit::DirectoryFailed;
    if (!CheckDestination(ui, archive, directory, title, earlier, hasEarlier, refusal)) return refusal;

    // From here on, whatever fails before the last file is in place takes
    // away what this run made.
    InstallationJournal journal;
    journal.NoteStateBefore(directory, archive);
    if (!DirectoryExists(directory) && !CreateDirectoryTree(directory)) {
        journal.Undo();
        ui.ShowMessage(StringFormat("!Error: unable to create folder '%s'.\n'%s' installation canceled.",
                                    directory.c_str(), archive.GetAppName().c_str()),
                       title, kMessageError);
        return InstallerExit::DirectoryFailed;
    }

    if (!extractOnly && !RunningInstancesClosed(ui, system, archive.GetWindowList(), archive.GetAppName(), "updating",
                                                request.silent, title)) {
        journal.Undo();
        return request.silent ? InstallerExit::ApplicationRunning : InstallerExit::Canceled;
    }

    const std::string executablePath = BuildPath(directory, NativeEntryPath(archive.GetFirstFileName()), nullptr);
    const ShortcutsMade links =
        extractOnly ? ShortcutsMade{}
                    : CreateShortcuts(ui, system, archive, executablePath, hasEarlier ? &earlier : nullptr, journal);

    std::string failure;
    if (!ExtractWithProgress(ui, system, archive, directory, failure)) {
        journal.Undo();
        if (request.silent)
            ui.ShowMessage(StringFormat("!Error: Unable to extract files (%s)", failure.c_str()), kProductName,
                           kMessageError);
        else
            OfferInstallationLog(ui, system, archive, failure);
        return InstallerExit::ExtractionFailed;
    }
    if (extractOnly) {
        ui.ShowMessage(StringFormat("%s (%s) successfully extracted to '%s'.", archive.GetAppName().c_str(),
                                    archive.GetVersion().c_str(), directory.c_str()),
                       title, kMessagePlain);
        return InstallerExit::Installed;
    }

    const bool uninstaller =
        UninstallKeyOf(archive).empty() ||
        SetUpUninstaller(ui, system, archive, directory, executablePath, links.links, hasEarlier ? &earlier : nullptr);

    ui.ShowMessage(StringFormat("%s (%s) succesfully %s.", archive.GetAppName().c_str(), archive.GetVersion().c_str(),
                                plan.fresh ? "installed" : "updated"),
                   title, kMessagePlain);

    if (!request.silent && (archive.GetOptions() & kOptionStartAfterInstallation) != 0 &&
        !system.ShellOpen(executablePath)) {
        ui.ShowMessage(StringFormat("!Error: Unable to execute '%s' - %s (%s)", archive.GetAppName().c_str(),
                                    executablePath.c_str(), LastErrorText()),
                       title, kMessageError);
    }
    if (links.failed) return InstallerExit::ShortcutsFailed;
    return uninstaller ? InstallerExit::Installed : InstallerExit::UninstallerFailed;
}
