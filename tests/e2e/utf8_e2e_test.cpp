// Names beyond ASCII from one end to the other, under Wine: an installer
// built by the Linux zorpack from "café.txt", "日本.txt" and an application
// name with accents shows them with "-c" and installs them under exactly
// those names (read back from the Linux side); zorpack.exe builds the same
// bytes from the same inputs.
//
// Both sides reach one directory: under Wine, drive Z: is the Linux root.
// The Linux programs are started through /bin/sh (Wine starts Linux programs
// too, but reports no exit code for them: each leaves a file to check).
#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/special_folders.h"
#include "common/system_info.h"
#include "tests/common/temp_dir.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "win32/shell_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

const std::string kCafe = "caf\xC3\xA9.txt";               // café.txt
const std::string kJapan = "\xE6\x97\xA5\xE6\x9C\xAC.txt"; // 日本.txt
const std::string kAppName = "Caf\xC3\xA9 D\xC3\xA9mo";    // Café Démo
constexpr int kDirectoryEdit = 1000, kOk = 1;
constexpr int kOptionBoxes[] = {1002, 1003, 1004, 1005, 1006};

// A directory that Linux programs see as /tmp/<name> and this one as Z:\tmp\<name>.
class SharedDirectory {
public:
    SharedDirectory() : unix_("/tmp/zor-utf8-" + std::to_string(CurrentProcessId())), windows_(ToWindows(unix_)) {
        std::filesystem::remove_all(windows_);
        CreateDirectoryTree(windows_);
    }
    ~SharedDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(windows_, ignored);
    }
    static std::string ToWindows(std::string unixPath) {
        for (char& c : unixPath)
            if (c == '/') c = '\\';
        return "Z:" + unixPath;
    }
    std::string Unix(const std::string& name) const { return unix_ + "/" + name; }
    std::string Windows(const std::string& name) const { return BuildPath(windows_, name, nullptr); }

private:
    std::string unix_, windows_;
};

void WriteFile(const std::string& path, const std::string& content) {
    CFile file;
    ASSERT_TRUE(file.Create(path)) << path;
    file.Write(content.data(), content.size());
}

// Runs a shell script on the Linux side and waits for the file it makes last.
void RunScript(const SharedDirectory& shared, const std::string& script, const std::string& made) {
    // Wine reports no exit of a Linux process, and a redirection creates its
    // file before anything is written to it: the script's last step leaves a
    // marker, and only the marker says it has finished.
    const std::string marker = shared.Windows("script.done");
    ::remove(marker.c_str());
    WriteFile(shared.Windows("script.sh"), script + "touch '" + shared.Unix("script.done") + "'\n");
    ChildProcess shell;
    ASSERT_TRUE(shell.Start("Z:\\bin\\sh", {shared.Unix("script.sh")}));
    shell.Wait();
    for (int i = 0; i < 200 && !FileExists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(FileExists(made)) << "the script made no " << made
                                  << "; its output: " << ReadWholeFile(shared.Windows("script.log"));
}

// The same three times on every input before each build, so that both
// builders record the same (a build's reading moves the access time).
void SetInputTimes(const std::vector<std::string>& paths) {
    const FileTime time = FileTime::FromTicks(133000000000000000ull);
    for (const std::string& path : paths) {
        CFile file;
        ASSERT_TRUE(file.Open(path, FileAccess::Write, FileCreation::OpenExisting, FileShare::DenyNone));
        ASSERT_TRUE(file.SetFileTimes(&time, &time, &time));
    }
}

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

TEST(Utf8Installation, ALinuxBuiltInstallerInstallsItsNamesAsTheyAre) {
    const std::string build = GetPathPart(GetPathPart(GetModuleDirectory(), kPathDirectory), kPathDirectory);
    const std::string linuxZorpack =
        BuildPath(BuildPath(BuildPath(build, "native", nullptr), "bin", nullptr), "zorpack", nullptr);
    if (!FileExists(linuxZorpack)) GTEST_SKIP() << "no Linux zorpack at " << linuxZorpack << " (build build/native)";
    // Z:\work\... is /work/... on the Linux side.
    std::string linuxZorpackUnix = linuxZorpack.substr(2);
    for (char& c : linuxZorpackUnix)
        if (c == '\\') c = '/';

    const SharedDirectory shared;
    const std::string stub = shared.Windows("zorsetup.exe");
    WriteFile(stub, ReadWholeFile(ProgramBesideTests("zorsetup")));
    WriteFile(shared.Windows("hello.exe"), ReadWholeFile(ProgramBesideTests("hello")));
    WriteFile(shared.Windows(kCafe), "un caf\xC3\xA9, s'il vous pla\xC3\xAEt\r\n");
    WriteFile(shared.Windows(kJapan), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n");
    const std::vector<std::string> inputs = {"hello.exe", kCafe, kJapan};
    std::vector<std::string> windowsInputs;
    for (const std::string& input : inputs) windowsInputs.push_back(shared.Windows(input));
    const std::string shortcut = kAppName + " e2e " + std::to_string(CurrentProcessId());

    // The Linux build.
    SetInputTimes(windowsInputs);
    std::string command = Quoted(linuxZorpackUnix) + " build -o " + Quoted(shared.Unix("LinuxSetup.exe")) + " --name " +
                          Quoted(kAppName) + " --version 1.0 --shortcut " + Quoted(shortcut) + " --stub " +
                          Quoted(shared.Unix("zorsetup.exe"));
    for (const std::string& input : inputs) command += " " + Quoted(shared.Unix(input));
    RunScript(shared, command + " >" + Quoted(shared.Unix("script.log")) + " 2>&1\n", shared.Windows("LinuxSetup.exe"));

    // The same build by zorpack.exe: the same bytes.
    SetInputTimes(windowsInputs);
    ChildProcess zorpack;
    std::vector<std::string> arguments = {"build",  "-o",         shared.Windows("WindowsSetup.exe"),
                                          "--name", kAppName,     "--version",
                                          "1.0",    "--shortcut", shortcut,
                                          "--stub", stub};
    arguments.insert(arguments.end(), windowsInputs.begin(), windowsInputs.end());
    ASSERT_TRUE(zorpack.Start(ProgramBesideTests("zorpack"), arguments));
    ASSERT_EQ(zorpack.Wait(), 0);
    const std::string linuxBuilt = ReadWholeFile(shared.Windows("LinuxSetup.exe"));
    EXPECT_TRUE(linuxBuilt == ReadWholeFile(shared.Windows("WindowsSetup.exe")))
        << "zorpack.exe and the Linux zorpack built different bytes";
    // And with LZMA, a stream per entry and solid (on two threads, as a
    // publisher's machine would, and on one).
    const std::vector<std::string> lzmaBuilds[] = {{"--compression", "lzma", "--threads", "2"},
                                                   {"--compression", "lzma", "--solid"}};
    for (const std::vector<std::string>& options : lzmaBuilds) {
        std::string linuxCommand = command;
        linuxCommand.replace(linuxCommand.find("LinuxSetup.exe"), 14, "LinuxLzma.exe");
        for (const std::string& option : options) linuxCommand += " " + option;
        SetInputTimes(windowsInputs);
        RunScript(shared, linuxCommand + " >" + Quoted(shared.Unix("script.log")) + " 2>&1\n",
                  shared.Windows("LinuxLzma.exe"));
        SetInputTimes(windowsInputs);
        std::vector<std::string> windowsArguments = arguments;
        windowsArguments[2] = shared.Windows("WindowsLzma.exe");
        windowsArguments.insert(windowsArguments.end(), options.begin(), options.end());
        ChildProcess lzma;
        ASSERT_TRUE(lzma.Start(ProgramBesideTests("zorpack"), windowsArguments));
        ASSERT_EQ(lzma.Wait(), 0);
        EXPECT_TRUE(ReadWholeFile(shared.Windows("LinuxLzma.exe")) == ReadWholeFile(shared.Windows("WindowsLzma.exe")))
            << options.back();
    }

    InstallerArchive archive;
    archive.SetFilePath(shared.Windows("LinuxSetup.exe"));
    ASSERT_TRUE(archive.LoadInstaller());
    EXPECT_EQ(archive.GetAppName(), kAppName);
    ASSERT_EQ(archive.GetEntries().size(), 3u);
    EXPECT_EQ(archive.GetEntries()[1].name, kCafe);
    EXPECT_EQ(archive.GetEntries()[2].name, kJapan);

    // "-c" shows the names.
    {
        ChildProcess setup;
        ASSERT_TRUE(setup.Start(shared.Windows("LinuxSetup.exe"), {"-c"}));
        const DrivenWindow box = WaitForWindow(kAppName, 30000);
        ASSERT_TRUE(box) << "no content box";
        EXPECT_EQ(MessageText(box), "Installation archive content:\n\nApplication name:\n\t" + kAppName +
                                        " (1.0)\nShortcut name:\n\t" + shortcut + "\nWindows search list:\n\t\n" +
                                        "Files list:\n\thello.exe\n\t" + kCafe + "\n\t" + kJapan + "\n");
        EXPECT_TRUE(PressButton(box, kOk));
        EXPECT_EQ(setup.Wait(), 0);
    }

    // The installation, into a directory named beyond ASCII too.
    const std::string target = shared.Windows("install\xC3\xA9");
    {
        ChildProcess setup;
        ASSERT_TRUE(setup.Start(shared.Windows("LinuxSetup.exe"), {}));
        const DrivenWindow dialog = WaitForWindow("Installation of " + kAppName + " (1.0)", 30000);
        ASSERT_TRUE(dialog) << "no options dialog";
        TypeText(dialog.handle, kDirectoryEdit, target);
        for (int box : kOptionBoxes)
            if (IsChecked(dialog.handle, box)) ClickControl(dialog.handle, box);
        ASSERT_TRUE(PressButton(dialog, kOk));
        const DrivenWindow done = WaitForWindow(kAppName + " installation", 30000);
        ASSERT_TRUE(done) << "no result";
        EXPECT_EQ(MessageText(done), kAppName + " (1.0) succesfully installed.");
        EXPECT_TRUE(PressButton(done, kOk));
        EXPECT_EQ(setup.Wait(), 0);
    }
    EXPECT_EQ(ReadWholeFile(BuildPath(target, kCafe, nullptr)), "un caf\xC3\xA9, s'il vous pla\xC3\xAEt\r\n");
    const std::string link =
        BuildPath(BuildPath(GetSpecialFolderPath(kFolderPrograms), "ZorSoftware", nullptr), shortcut, "lnk");
    EXPECT_TRUE(FileExists(link)) << link;
    ::remove(link.c_str());

    // The Linux side sees the names as they are, not as another code page spells them.
    RunScript(shared,
              "LC_ALL=C ls " + Quoted(shared.Unix("install\xC3\xA9")) + " >" + Quoted(shared.Unix("listing.txt")) +
                  "\n",
              shared.Windows("listing.txt"));
    EXPECT_EQ(ReadWholeFile(shared.Windows("listing.txt")), kCafe + "\nhello.exe\n" + kJapan + "\n");
}

} // namespace
