// ShellLink, special folders and start-up shortcuts against the shell of the
// build's Wine prefix: real folders, real .lnk files written and read back.
#include "win32/shell_link.h"

#include "common/file_system.h"
#include "common/path.h"
#include "common/system_info.h"
#include "common/windows_api.h"

#include "tests/common/temp_dir.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

// Everything a shortcut carries, as GetInfo reports it.
struct LinkFields {
    std::string target, workingDirectory, arguments, description, iconFile;
    int iconIndex = -1;
    int showCommand = -1;
};

std::string CaseFolded(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Wine's shell link keeps the show command in memory but writes 1 (normal
// window) into every file it saves; Windows keeps the value.
bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int ExpectedSavedShowCommand(int showCommand) { return RunningUnderWine() ? 1 : showCommand; }

bool ReadFields(const ShellLink& link, LinkFields& fields) {
    return link.GetInfo(&fields.target, &fields.workingDirectory, &fields.arguments, &fields.description,
                        &fields.iconFile, &fields.iconIndex, &fields.showCommand);
}

// True when no component-library initialisation is left on this thread: a
// single-threaded initialisation still in place makes a multi-threaded one
// fail with RPC_E_CHANGED_MODE.
bool ComFullyUninitialised() {
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(result)) ::CoUninitialize();
    return result == S_OK;
}

TEST(SpecialFolders, ResolveToExistingDirectories) {
    for (int csidl : {kFolderDesktop, kFolderPrograms, kFolderStartup, kFolderCommonPrograms, kFolderCommonStartup,
                      kFolderCommonDesktop, kFolderApplicationData, kFolderProgramFiles}) {
        const std::string path = GetSpecialFolderPath(csidl);
        EXPECT_FALSE(path.empty()) << "CSIDL " << csidl;
        EXPECT_LT(path.size(), kMaxPath) << "CSIDL " << csidl;
        EXPECT_TRUE(DirectoryExists(path)) << "CSIDL " << csidl << ": " << path;
    }
    EXPECT_EQ(GetPathPart(GetSpecialFolderPath(kFolderProgramFiles), kPathFileName), "Program Files");
    EXPECT_EQ(CaseFolded(GetPathPart(GetSpecialFolderPath(kFolderStartup), kPathFileName)), "startup");
    EXPECT_NE(GetSpecialFolderPath(kFolderPrograms), GetSpecialFolderPath(kFolderCommonPrograms));
}

TEST(SpecialFolders, UnknownOrPathlessFoldersGiveEmptyString) {
    EXPECT_EQ(GetSpecialFolderPath(0x7F), "");
    EXPECT_EQ(GetSpecialFolderPath(-1), "");
    EXPECT_EQ(GetSpecialFolderPath(3), ""); // control panel: a folder without a file-system path
}

TEST(ShellLinkTest, SaveAndLoadKeepEveryField) {
    TempDir dir;
    const std::string target = dir.WriteFile("target.exe", "MZ not really a program");
    const std::string icon = dir.WriteFile("icons.ico", "icon data");
    // The link's folder does not exist yet: Save creates both levels.
    const std::string linkPath = dir / "made\\later\\Target shortcut.lnk";
    ASSERT_FALSE(DirectoryExists(GetPathPart(linkPath, kPathDirectory)));
    {
        ShellLink link;
        ASSERT_TRUE(link.Create(linkPath));
        EXPECT_EQ(link.LinkPath(), linkPath);
        ASSERT_TRUE(link.SetInfo(target.c_str(), dir.path().c_str(), "-x \"two words\"", "A test shortcut",
                                 icon.c_str(), 3, 7));
        LinkFields inMemory;
        ASSERT_TRUE(ReadFields(link, inMemory));
        EXPECT_EQ(inMemory.target, target);
        EXPECT_EQ(inMemory.workingDirectory, dir.path());
        EXPECT_EQ(inMemory.arguments, "-x \"two words\"");
        EXPECT_EQ(inMemory.description, "A test shortcut");
        EXPECT_EQ(inMemory.iconFile, icon);
        EXPECT_EQ(inMemory.iconIndex, 3);
        EXPECT_EQ(inMemory.showCommand, 7);
        ASSERT_TRUE(link.Save());
    }
    EXPECT_TRUE(FileExists(linkPath));

    ShellLink loaded;
    ASSERT_TRUE(loaded.Create(linkPath));
    ASSERT_TRUE(loaded.Load());
    LinkFields fields;
    ASSERT_TRUE(ReadFields(loaded, fields));
    EXPECT_EQ(fields.target, target);
    EXPECT_EQ(fields.workingDirectory, dir.path());
    EXPECT_EQ(fields.arguments, "-x \"two words\"");
    EXPECT_EQ(fields.description, "A test shortcut");
    EXPECT_EQ(fields.iconFile, icon);
    EXPECT_EQ(fields.iconIndex, 3);
    EXPECT_EQ(fields.showCommand, ExpectedSavedShowCommand(7));

    // Each output is optional: reading only some of them works too.
    std::string onlyArguments;
    int onlyShow = 0;
    EXPECT_TRUE(loaded.GetInfo(nullptr, nullptr, &onlyArguments, nullptr, nullptr, nullptr, &onlyShow));
    EXPECT_EQ(onlyArguments, "-x \"two words\"");
    EXPECT_EQ(onlyShow, ExpectedSavedShowCommand(7));
}

TEST(ShellLinkTest, OnlyTargetLeavesOtherFieldsUnsetAndSetsShowCommand) {
    TempDir dir;
    const std::string target = dir.WriteFile("app.exe", "MZ");
    const std::string linkPath = dir / "app.lnk";
    {
        ShellLink link;
        ASSERT_TRUE(link.Create(linkPath));
        ASSERT_TRUE(link.SetInfo(target.c_str(), nullptr, nullptr, nullptr, nullptr, 5, 3));
        int showCommand = 0;
        ASSERT_TRUE(link.GetInfo(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &showCommand));
        EXPECT_EQ(showCommand, 3);
        ASSERT_TRUE(link.Save());
    }
    ShellLink loaded;
    ASSERT_TRUE(loaded.Create(linkPath));
    ASSERT_TRUE(loaded.Load());
    LinkFields fields;
    ASSERT_TRUE(ReadFields(loaded, fields));
    EXPECT_EQ(fields.target, target);
    EXPECT_EQ(fields.workingDirectory, "");
    EXPECT_EQ(fields.arguments, "");
    EXPECT_EQ(fields.description, "");
    EXPECT_EQ(fields.iconFile, "");
    EXPECT_EQ(fields.iconIndex, 0); // the index is only set together with an icon file
    EXPECT_EQ(fields.showCommand, ExpectedSavedShowCommand(3));
}

TEST(ShellLinkTest, OperationsWithoutShellLinkObjectFail) {
    ShellLink link;
    std::string text = "unchanged";
    int number = 42;
    EXPECT_FALSE(link.SetInfo("C:\\x.exe", nullptr, nullptr, nullptr, nullptr, 0, 1));
    EXPECT_FALSE(link.GetInfo(&text, &text, &text, &text, &text, &number, &number));
    EXPECT_FALSE(link.Save());
    EXPECT_FALSE(link.Load());
    EXPECT_FALSE(link.ComInitialised());
    link.Release();
    link.Release();

    // After Release the object is empty again.
    TempDir dir;
    ASSERT_TRUE(link.Create(dir / "x.lnk"));
    link.Release();
    EXPECT_FALSE(link.SetInfo("C:\\x.exe", nullptr, nullptr, nullptr, nullptr, 0, 1));
    EXPECT_FALSE(link.Save());
    EXPECT_FALSE(FileExists(dir / "x.lnk"));
}

TEST(ShellLinkTest, SaveAndLoadFailOnBadPaths) {
    TempDir dir;
    const std::string file = dir.WriteFile("plain.txt", "not a shortcut");
    const std::string target = dir.WriteFile("app.exe", "MZ");

    // The link's folder cannot be made: a file stands where its parent should be.
    ShellLink underFile;
    ASSERT_TRUE(underFile.Create(file + "\\sub\\app.lnk"));
    ASSERT_TRUE(underFile.SetInfo(target.c_str(), nullptr, nullptr, nullptr, nullptr, 0, 1));
    EXPECT_FALSE(underFile.Save());
    EXPECT_EQ(ReadWholeFile(file), "not a shortcut");

    // Characters no file name may hold.
    ShellLink invalidName;
    ASSERT_TRUE(invalidName.Create(dir / "bad<|>name.lnk"));
    ASSERT_TRUE(invalidName.SetInfo(target.c_str(), nullptr, nullptr, nullptr, nullptr, 0, 1));
    EXPECT_FALSE(invalidName.Save());

    // A missing file, and a file that is not a shortcut, cannot be loaded.
    ShellLink missing;
    ASSERT_TRUE(missing.Create(dir / "missing.lnk"));
    EXPECT_FALSE(missing.Load());
    ShellLink notALink;
    ASSERT_TRUE(notALink.Create(file));
    EXPECT_FALSE(notALink.Load());
    EXPECT_EQ(ReadWholeFile(file), "not a shortcut");
}

TEST(ShellLinkTest, LongPathsAndTextsStayWithinBuffers) {
    TempDir dir;
    const std::string target = dir.WriteFile("app.exe", "MZ");

    // A link path over the platform limit is refused, not cut.
    const std::string longPath = dir / (std::string(300, 'n') + ".lnk");
    ShellLink tooLong;
    ASSERT_TRUE(tooLong.Create(longPath));
    ASSERT_TRUE(tooLong.SetInfo(target.c_str(), nullptr, nullptr, nullptr, nullptr, 0, 1));
    EXPECT_FALSE(tooLong.Save());
    EXPECT_FALSE(tooLong.Load());
    EXPECT_FALSE(FileExists(longPath.substr(0, kMaxPath)));

    // Texts longer than the read buffers come back cut, as prefixes.
    const std::string longDescription(1000, 'd');
    const std::string longArguments(700, 'a');
    ShellLink link;
    ASSERT_TRUE(link.Create(dir / "long.lnk"));
    ASSERT_TRUE(link.SetInfo(target.c_str(), nullptr, longArguments.c_str(), longDescription.c_str(), nullptr, 0, 1));
    std::string description, arguments;
    EXPECT_TRUE(link.GetInfo(nullptr, nullptr, &arguments, &description, nullptr, nullptr, nullptr));
    EXPECT_EQ(description, longDescription.substr(0, kMaxPath - 1));
    EXPECT_EQ(arguments, longArguments.substr(0, kMaxPath - 1));
}

TEST(ShellLinkTest, ComponentLibraryInitialisedAndUninitialisedOncePerObject) {
    ASSERT_TRUE(ComFullyUninitialised());
    TempDir dir;
    {
        ShellLink first;
        ASSERT_TRUE(first.Create(dir / "first.lnk"));
        EXPECT_TRUE(first.ComInitialised());
        EXPECT_FALSE(ComFullyUninitialised());
    }
    EXPECT_TRUE(ComFullyUninitialised());
    {
        ShellLink second;
        ASSERT_TRUE(second.Create(dir / "second.lnk"));
        EXPECT_FALSE(ComFullyUninitialised());
        second.Release();
        EXPECT_FALSE(second.ComInitialised());
        EXPECT_TRUE(ComFullyUninitialised());
    }
    // Creating twice on one object leaves one initialisation behind, not two.
    {
        ShellLink twice;
        ASSERT_TRUE(twice.Create(dir / "a.lnk"));
        ASSERT_TRUE(twice.Create(dir / "b.lnk"));
        EXPECT_EQ(twice.LinkPath(), dir / "b.lnk");
    }
    EXPECT_TRUE(ComFullyUninitialised());
}

TEST(StartupShortcut, SetHasAndRemove) {
    TempDir dir;
    const std::string executable = dir.WriteFile("zor-shell-test-" + std::to_string(CurrentProcessId()) + ".exe", "MZ");
    const std::string linkPath = StartupShortcutPath(executable);
    EXPECT_EQ(linkPath, BuildPath(GetSpecialFolderPath(kFolderStartup), GetPathPart(executable, kPathBaseName), "lnk"));
    ASSERT_FALSE(HasStartupShortcut(executable));

    ASSERT_TRUE(SetStartupShortcut(executable, true));
    EXPECT_TRUE(HasStartupShortcut(executable));
    EXPECT_TRUE(FileExists(linkPath));
    {
        ShellLink loaded;
        ASSERT_TRUE(loaded.Create(linkPath));
        ASSERT_TRUE(loaded.Load());
        LinkFields fields;
        ASSERT_TRUE(ReadFields(loaded, fields));
        EXPECT_EQ(fields.target, executable);
        EXPECT_EQ(fields.workingDirectory, "");
        EXPECT_EQ(fields.arguments, "");
        EXPECT_EQ(fields.description, "");
        EXPECT_EQ(fields.iconFile, "");
        EXPECT_EQ(fields.showCommand, 1);
    }

    EXPECT_TRUE(SetStartupShortcut(executable, false));
    EXPECT_FALSE(HasStartupShortcut(executable));
    EXPECT_FALSE(FileExists(linkPath));
    // Removing a shortcut that is already gone succeeds: the wanted state holds.
    EXPECT_TRUE(SetStartupShortcut(executable, false));
}

} // namespace
