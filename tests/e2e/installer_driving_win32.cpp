#include "tests/e2e/installer_driving.h"

#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/system_info.h"
#include "common/text_utils.h"
#include "common/windows_api.h"
#include "tests/common/temp_dir.h"
#include "tests/support/process.h"
#include "win32/shell_link.h"

#include <gtest/gtest.h>

#include <cstring>

namespace e2e {

namespace {

constexpr char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\hello.exe";

} // namespace

std::string BuildDirectory() { return GetPathPart(GetModuleDirectory(), kPathDirectory); }

std::string ScreenshotDirectory() {
    static const std::string directory = [] {
        const std::string path = BuildPath(BuildDirectory(), "e2e-screenshots", nullptr);
        CreateDirectoryTree(path);
        return path;
    }();
    return directory;
}

void Screenshot(const DrivenWindow& window, const char* name) {
    EXPECT_TRUE(SaveScreenshot(window, BuildPath(ScreenshotDirectory(), name, "bmp"))) << name;
}

std::string ShortcutName() { return "Hello e2e " + std::to_string(CurrentProcessId()); }

std::string Link(int csidl, const char* subfolder) {
    std::string folder = GetSpecialFolderPath(csidl);
    if (subfolder != nullptr) folder = BuildPath(folder, subfolder, nullptr);
    return BuildPath(folder, ShortcutName(), "lnk");
}

std::vector<std::string> AllLinks() {
    return {Link(kFolderPrograms, "ZorSoftware"),
            Link(kFolderCommonPrograms, "ZorSoftware"),
            Link(kFolderDesktop),
            Link(kFolderCommonDesktop),
            Link(kFolderStartup),
            Link(kFolderCommonStartup),
            Link(kFolderApplicationData, kQuickLaunch)};
}

namespace {

void RegisterUnder(HKEY root, const std::string& executable) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(root, kAppPathsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(executable.c_str()),
                     static_cast<DWORD>(executable.size() + 1));
    ::RegCloseKey(key);
}

} // namespace

void WriteExampleFiles(const TempDir& work) {
    const std::string examples = BuildPath(BuildPath(BuildDirectory(), "examples", nullptr), "hello", nullptr);
    work.WriteFile("hello.exe", ReadWholeFile(ProgramBesideTests("hello")));
    work.WriteFile("readme.txt", ReadWholeFile(BuildPath(examples, "readme.txt", nullptr)));
}

void Register(const std::string& executable) { RegisterUnder(HKEY_LOCAL_MACHINE, executable); }

void RegisterForCurrentUser(const std::string& executable) { RegisterUnder(HKEY_CURRENT_USER, executable); }

void RemoveShortcutsAndRegistration() {
    for (const std::string& link : AllLinks()) ::DeleteFileA(link.c_str());
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathsKey);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kAppPathsKey);
}

void* Answer(const std::string& caption, const std::string& text, int button, const char* shot, void* previous) {
    const DrivenWindow box = WaitForWindow(caption, 30000, previous);
    if (!box) {
        ADD_FAILURE() << "no message box '" << caption << "' saying: " << text;
        return nullptr;
    }
    EXPECT_EQ(MessageText(box), text);
    if (shot != nullptr) Screenshot(box, shot);
    EXPECT_TRUE(PressButton(box, button));
    return box.handle;
}

void ChooseInDialog(const Choice& choice, const char* shot) {
    const DrivenWindow dialog = WaitForWindow(kDialogCaption, 30000);
    ASSERT_TRUE(dialog) << "no options dialog";
    if (shot != nullptr) Screenshot(dialog, shot);
    TypeText(dialog.handle, kDirectoryEdit, choice.directory);
    const std::pair<int, bool> boxes[] = {{kAllUsersBox, choice.allUsers},
                                          {kDesktopBox, choice.desktop},
                                          {kQuickLaunchBox, choice.quickLaunch},
                                          {kSessionBox, choice.session},
                                          {kStartAfterBox, choice.startAfter}};
    for (const auto& [id, state] : boxes)
        if (IsChecked(dialog.handle, id) != state) ClickControl(dialog.handle, id);
    ASSERT_TRUE(PressButton(dialog, kOk));
}

void ExpectInstalled(const std::string& installer, const std::string& sources, const std::string& directory,
                     std::size_t expectedCount) {
    InstallerArchive archive;
    archive.SetFilePath(installer);
    ASSERT_TRUE(archive.LoadInstaller());
    ASSERT_EQ(archive.GetEntries().size(), expectedCount);
    for (const ArchiveEntry& entry : archive.GetEntries()) {
        SCOPED_TRACE(entry.name);
        const std::string installed = BuildPath(directory, entry.name, nullptr);
        const std::string source = BuildPath(sources, entry.name, nullptr);
        EXPECT_EQ(ReadWholeFile(installed), ReadWholeFile(source));
        std::uint8_t digest[kMd5DigestSize] = {};
        ASSERT_TRUE(archive.ComputeFileMD5(installed, digest));
        EXPECT_EQ(std::memcmp(digest, entry.md5, sizeof digest), 0);
        FileDetails details, original;
        ASSERT_TRUE(GetFileDetails(installed, details));
        ASSERT_TRUE(GetFileDetails(source, original));
        EXPECT_EQ(details.times.lastWrite, original.times.lastWrite);
        EXPECT_EQ(details.times.lastWrite, entry.lastWriteTime);
    }
}

void ExpectLinkTo(const std::string& link, const std::string& target) {
    SCOPED_TRACE(link);
    ASSERT_TRUE(FileExists(link));
    ShellLink shellLink;
    ASSERT_TRUE(shellLink.Create(link));
    ASSERT_TRUE(shellLink.Load());
    std::string linked;
    ASSERT_TRUE(shellLink.GetInfo(&linked, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(EqualsIgnoringCase(linked, target)) << linked;
}

int RunToEnd(const std::string& program, const std::string& rawArguments) {
    ChildProcess process;
    if (!process.StartWithRawArguments(program, rawArguments)) return -1;
    return process.Wait();
}

bool GoneWithin(const std::string& path, int milliseconds) {
    const auto exists = [&] { return FileExists(path) || DirectoryExists(path); };
    for (int waited = 0; waited < milliseconds && exists(); waited += 100) ::Sleep(100);
    return !exists();
}

namespace {

std::string UninstallEntryKey(const std::string& key) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + key;
}

} // namespace

std::map<std::string, std::string> UninstallEntry(const std::string& key) {
    std::map<std::string, std::string> values;
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallEntryKey(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameSize = sizeof name, type = 0, dataSize = 2048;
        BYTE data[2048];
        if (::RegEnumValueA(handle, index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        values[name] = type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data))
                                         : std::string(reinterpret_cast<char*>(data));
    }
    ::RegCloseKey(handle);
    return values;
}

void RemoveUninstallEntry(const std::string& key) {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallEntryKey(key).c_str());
}

void CloseHello() {
    const DrivenWindow hello = WaitForWindow(kHelloWindow, 30000);
    ASSERT_TRUE(hello) << "the application did not start";
    ::PostMessageA(static_cast<HWND>(hello.handle), WM_CLOSE, 0, 0);
    for (int waited = 0; waited < 10000 && ::IsWindow(static_cast<HWND>(hello.handle)); waited += 50) ::Sleep(50);
    EXPECT_FALSE(::IsWindow(static_cast<HWND>(hello.handle)));
}

} // namespace e2e
