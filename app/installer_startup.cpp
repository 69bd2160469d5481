#include "app/installer_startup.h"

#include "app/installation_messages.h"
#include "archive/install_folder.h"
#include "archive/installer_archive.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "common/text_utils.h"

#include <string>
#include <vector>

namespace {

// The texts are kept whole, one per line, so that each can be found as it is shown.
// clang-format off
constexpr char kLoadFailureFormat[] = "!Error: Unable to load installation (%s)";
constexpr char kContentFormat[] =
    "Installation archive content:\n\nApplication name:\n\t%s (%s)\nShortcut name:\n\t%s\nWindows search list:\n%sFiles list:\n%s";
constexpr char kVersionFormat[] = "ZorInstaller version: %d.%d";
constexpr char kUsageFormat[] =
    "%s [Options] [/D=DIR]\n   where options are:\n       -c : Display archive content\n       -f : Force re-installation (don't update)\n       -v : Display installer version\n       /S : Silent installation: no window, log in %%TEMP%%\n   /D=DIR : Installation directory, absolute, last (spaces allowed, no quotes)\n   /extract DIR : Only write the files into DIR, verified: no registry,\n                  shortcuts or uninstaller\n   exit codes:\n       0 installed, 1 bad command line, 2 archive not loaded,\n       3 folder not created, 4 application running, 5 extraction failed,\n       6 shortcuts failed, 7 canceled, 8 uninstaller failed,\n       9 folder of another application\n";
// clang-format on

constexpr char kContentOption[] = "-c";
constexpr char kVersionOption[] = "-v";
constexpr char kForceOption[] = "-f";

// Each item on a line of its own, indented by a tab.
std::string ListItem(const std::string& item) { return "\t" + item + "\n"; }

// The window list cut at every ";": empty pieces and the piece after the last
// ";" are kept, so an empty list still gives one (empty) item.
std::string WindowSearchList(const std::string& windowList) {
    std::vector<std::string> pieces;
    SplitByChars(windowList, ";", pieces);
    std::string list;
    for (const std::string& piece : pieces) list += ListItem(piece);
    return list;
}

// The names a content box lists at most: a box of thousands of lines would
// reach below the screen, and its buttons with it.
constexpr std::size_t kListedFiles = 30;

// The entry names in archive order, the first kListedFiles of them and then
// how many more there are; an archive without entries gives the single item
// "[Error]" that GetFirstFileName returns for it.
std::string FileList(InstallerArchive& archive) {
    std::string list = ListItem(archive.GetFirstFileName());
    std::size_t listed = 1, more = 0;
    for (std::string name = archive.GetNextFileName(); !name.empty(); name = archive.GetNextFileName()) {
        if (listed == kListedFiles) {
            ++more;
            continue;
        }
        list += ListItem(name);
        ++listed;
    }
    if (more != 0) list += ListItem(StringFormat("... and %zu more file%s", more, more == 1 ? "" : "s"));
    return list;
}

void ShowContent(InstallerUi& ui, InstallerArchive& archive) {
    const std::string windows = WindowSearchList(archive.GetWindowList());
    const std::string files = FileList(archive);
    ui.ShowMessage(StringFormat(kContentFormat, archive.GetAppName().c_str(), archive.GetVersion().c_str(),
                                archive.GetShortcutName().c_str(), windows.c_str(), files.c_str()),
                   archive.GetAppName(), kMessageInformation);
}

void ShowVersion(InstallerUi& ui, const InstallerArchive& archive) {
    ui.ShowMessage(StringFormat(kVersionFormat, kInstallerVersionMajor, kInstallerVersionMinor), archive.GetAppName(),
                   kMessageInformation);
}

// The usage names the program by its executable's file name without
// directory and extension.
void ShowUsage(InstallerUi& ui, const InstallerArchive& archive, const std::string& modulePath) {
    const std::string baseName = GetPathPart(GetPathPart(modulePath, kPathFileName), kPathBaseName);
    ui.ShowMessage(StringFormat(kUsageFormat, baseName.c_str()), archive.GetAppName(), kMessageWarning);
}

// The value of "/D=" as an installation directory: blanks at its end are
// dropped, and one pair of double quotes around the whole, which scripts
// often add although the convention has none; "/" becomes the platform's
// separator. False unless the rest, without double quotes, can be an
// installation directory.
bool TakeTargetDirectory(std::string value, std::string& directory) {
    while (!value.empty() && value.back() == ' ') value.pop_back();
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    value = WithNativeSeparators(value);
    if (value.find('"') != std::string::npos || !InstallDirectoryProblem(value).empty()) return false;
    directory = value;
    return true;
}

} // namespace

bool RunStartup(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive, const ProgramArguments& arguments,
                InstallationRequest& request, InstallerExit& exit) {
    request = InstallationRequest();
    archive.SetProgressCallback(InstallationProgress, 0);

    const std::string modulePath = system.ModulePath();
    archive.SetFilePath(modulePath);
    // Loading comes before the options, so a damaged archive answers every
    // option with this one message.
    // The box shows the code's text, whatever the failure's line says.
    if (!archive.LoadInstaller()) {
        const FileFailure* readFailure = archive.FileFailureMet();
        ui.ShowMessage(readFailure ? readFailure->Text()
                                   : StringFormat(kLoadFailureFormat, archive.GetErrorText().c_str()),
                       kProductName, kMessageError);
        exit = InstallerExit::ArchiveNotLoaded;
        return false;
    }
    if (arguments.hasRemoval ||
        (arguments.hasDirectory && !TakeTargetDirectory(arguments.directory, request.directory))) {
        ShowUsage(ui, archive, modulePath);
        exit = InstallerExit::BadCommandLine;
        return false;
    }

    bool proceed = true;
    for (std::size_t i = 0; i < arguments.options.size(); ++i) {
        const std::string& option = arguments.options[i];
        if (option == kExtractSwitch && i + 1 < arguments.options.size() && !arguments.hasDirectory) {
            // A relative folder is the current directory's.
            const std::string folder = WithNativeSeparators(arguments.options[++i]);
            request.extractOnly = true;
            request.extractDirectory =
                IsAbsolutePath(folder) ? folder : BuildPath(GetCurrentDirectoryPath(), folder, nullptr);
        } else if (option == kContentOption) {
            ShowContent(ui, archive);
            proceed = request.force;
        } else if (option == kVersionOption) {
            ShowVersion(ui, archive);
            proceed = request.force;
        } else if (option == kForceOption) {
            request.force = true;
            proceed = true;
        } else if (option == kSilentSwitch) {
            request.silent = true;
        } else {
            // An unknown option ends the run at once, even after "-f".
            ShowUsage(ui, archive, modulePath);
            exit = InstallerExit::BadCommandLine;
            return false;
        }
    }
    if (!proceed) exit = InstallerExit::Installed;
    return proceed;
}
