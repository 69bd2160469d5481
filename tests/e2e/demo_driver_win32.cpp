// The driver of `make demo`: runs an installer of the example application as
// a user accepting every default would, saves a picture of each window, then
// says where the installation put its files and shortcuts. With --report it
// only says where things are, after a user ran the installer.
#include "common/file_system.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "win32/shell_link.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kTimeoutMs = 60000;

void Shot(const DrivenWindow& window, const std::string& directory, const char* name) {
    const std::string path = BuildPath(directory, name, "bmp");
    if (SaveScreenshot(window, path)) std::printf("  screenshot %s\n", path.c_str());
}

// Presses OK on every window of the installation a user sees with the
// defaults: the options dialog, the result, and the started application.
bool Drive(const std::string& setup, const std::string& screenshots) {
    CreateDirectoryTree(screenshots);
    ChildProcess process;
    if (!process.Start(setup, {})) {
        std::printf("cannot start %s\n", setup.c_str());
        return false;
    }
    const DrivenWindow dialog = WaitForWindow("Installation of Hello (1.0)", kTimeoutMs);
    if (!dialog) {
        std::printf("no options dialog appeared\n");
        return false;
    }
    std::printf("options dialog: directory '%s', accepted as proposed\n", ControlText(dialog.handle, 1000).c_str());
    Shot(dialog, screenshots, "options-dialog");
    PressButton(dialog, 1);

    const DrivenWindow result = WaitForWindow("Hello installation", kTimeoutMs);
    if (!result) {
        std::printf("no result appeared\n");
        return false;
    }
    std::printf("result: %s\n", MessageText(result).c_str());
    Shot(result, screenshots, "result");
    PressButton(result, 1);

    // Started after the installation, as the defaults ask.
    const DrivenWindow hello = WaitForWindow("Hello ZorInstaller", 10000);
    if (hello) {
        std::printf("the installed application started\n");
        Shot(hello, screenshots, "hello");
        ::PostMessageA(static_cast<HWND>(hello.handle), WM_CLOSE, 0, 0);
    }
    return process.Wait() == 0;
}

void Report() {
    const std::string directory = BuildPath(GetSpecialFolderPath(kFolderProgramFiles), "ZorSoftware", nullptr);
    std::printf("installed files in %s:\n", directory.c_str());
    for (const char* name : {"hello.exe", "readme.txt", "license.txt"}) {
        const std::string path = BuildPath(directory, name, nullptr);
        if (FileExists(path)) std::printf("  %s\n", path.c_str());
    }
    std::printf("shortcuts:\n");
    const struct {
        int csidl;
        const char* subfolder;
    } folders[] = {{kFolderCommonPrograms, "ZorSoftware"},
                   {kFolderPrograms, "ZorSoftware"},
                   {kFolderCommonDesktop, nullptr},
                   {kFolderDesktop, nullptr},
                   {kFolderCommonStartup, nullptr},
                   {kFolderStartup, nullptr},
                   {kFolderApplicationData, "Microsoft\\Internet Explorer\\Quick Launch"}};
    for (const auto& folder : folders) {
        std::string path = GetSpecialFolderPath(folder.csidl);
        if (folder.subfolder != nullptr) path = BuildPath(path, folder.subfolder, nullptr);
        path = BuildPath(path, "Hello", "lnk");
        if (!FileExists(path)) continue;
        ShellLink link;
        std::string target;
        if (link.Create(path) && link.Load())
            link.GetInfo(&target, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        std::printf("  %s -> %s\n", path.c_str(), target.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--drive" && argc == 4) {
        const bool driven = Drive(argv[2], argv[3]);
        Report();
        return driven ? 0 : 1;
    }
    if (mode == "--report" && argc == 2) {
        Report();
        return 0;
    }
    std::printf("usage: demo_driver --drive SETUP SCREENSHOT_DIRECTORY | --report\n");
    return 2;
}
