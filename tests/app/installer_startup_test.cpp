#include "app/installation_messages.h"
#include "app/installer_startup.h"
#include "archive/installer_archive.h"
#include "common/path.h"
#include "common/system_info.h"
#include "tests/app/installer_files.h"
#include "tests/app/scripted_host.h"
#include "tests/common/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

// The boxes as users see them, written out here independently of the code.
ShownMessage ContentBox(const std::string& appName, const std::string& version, const std::string& shortcutName,
                        const std::string& windowItems, const std::string& fileItems) {
    return {"Installation archive content:\n\nApplication name:\n\t" + appName + " (" + version +
                ")\nShortcut name:\n\t" + shortcutName + "\nWindows search list:\n" + windowItems + "Files list:\n" +
                fileItems,
            appName, 0x40};
}

ShownMessage DemoContentBox() {
    return ContentBox("Zor Demo", "1.2.3", "Zor Demo App", "\tZor Demo\n\tZorDemo\n", "\tdemo.exe\n\treadme.txt\n");
}

ShownMessage VersionBox() { return {"ZorInstaller version: 0.5", "Zor Demo", 0x40}; }

ShownMessage UsageBox(const std::string& baseName) {
    return {baseName + " [Options] [/D=DIR]\n"
                       "   where options are:\n"
                       "       -c : Display archive content\n"
                       "       -f : Force re-installation (don't update)\n"
                       "       -v : Display installer version\n"
                       "       /S : Silent installation: no window, log in %TEMP%\n"
                       "   /D=DIR : Installation directory, absolute, last (spaces allowed, no quotes)\n"
                       "   /extract DIR : Only write the files into DIR, verified: no registry,\n"
                       "                  shortcuts or uninstaller\n"
                       "   exit codes:\n"
                       "       0 installed, 1 bad command line, 2 archive not loaded,\n"
                       "       3 folder not created, 4 application running, 5 extraction failed,\n"
                       "       6 shortcuts failed, 7 canceled, 8 uninstaller failed,\n"
                       "       9 folder of another application\n",
            "Zor Demo", 0x30};
}

ShownMessage LoadFailureBox(ZorInstallerError code) {
    return {"!Error: Unable to load installation (" + ZorInstallerErrorText(static_cast<int>(code)) + ")",
            "ZorInstaller", 0x10};
}

// The command line as Windows states it for a program at path.
std::string QuotedProgram(const std::string& path) { return "\"" + path + "\""; }

struct StartupResult {
    bool proceed = false;
    bool force = false;
    InstallationRequest request;
    InstallerExit exit = InstallerExit::Installed;
    std::vector<ShownMessage> shown;
};

// A request RunStartup must reset before it reads the command line.
InstallationRequest StaleRequest() { return {true, true, "C:\\stale", true, "C:\\stale"}; }

StartupResult Start(const std::string& installer, const std::string& options) {
    ScriptedHost host(installer, QuotedProgram(installer) + options);
    InstallerArchive archive;
    StartupResult result;
    result.request = StaleRequest();
    result.exit = static_cast<InstallerExit>(-1); // written only when the run ends here
    result.proceed =
        RunStartup(host, host, archive, ParseProgramArguments(host.RawCommandLine()), result.request, result.exit);
    result.force = result.request.force;
    result.shown = host.shown;
    return result;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override { WriteInstaller(installer_, InstallerContent()); }

    TempDir dir_;
    const std::string installer_ = dir_ / "zorsetup.exe";
};

struct OptionsCase {
    const char* options; // what follows the program path on the command line
    bool proceed;
    bool force;
    std::vector<ShownMessage> shown;
};

TEST_F(Startup, AnswersTheOptionsInOrder) {
    const ShownMessage content = DemoContentBox();
    const ShownMessage version = VersionBox();
    const ShownMessage usage = UsageBox("zorsetup");
    const OptionsCase cases[] = {
        {"", true, false, {}},
        {"   ", true, false, {}},
        {" -c -v", false, false, {content, version}},
        {" -v -c", false, false, {version, content}},
        {" -c -c", false, false, {content, content}},
        {" -c -f", true, true, {content}},
        {" -f -c", true, true, {content}},
        {" -f", true, true, {}},
        {" -f -f", true, true, {}},
        {"  -c  -v  ", false, false, {content, version}},
        {" \"-v\"", false, false, {version}},
        // The first unknown option ends the run at once, "-f" or not.
        {" -f -x", false, true, {usage}},
        {" -F", false, false, {usage}},
        {" -V", false, false, {usage}},
        {" -cv", false, false, {usage}},
        {" -v -F -c", false, false, {version, usage}},
        {" -c\t-v", false, false, {usage}}, // a tab is part of the argument
        {" \"-c -v\"", false, false, {usage}},
        {" \"\" -f", false, false, {usage}}, // an empty argument is unknown too
    };
    for (const OptionsCase& c : cases) {
        SCOPED_TRACE(std::string("options [") + c.options + "]");
        const StartupResult result = Start(installer_, c.options);
        EXPECT_EQ(result.proceed, c.proceed);
        if (c.proceed) {
            EXPECT_EQ(result.force, c.force);
            EXPECT_EQ(result.exit, static_cast<InstallerExit>(-1));
        } else {
            // Only the boxes of "-c" and "-v": a run that did what it was asked.
            const bool usageShown = !c.shown.empty() && c.shown.back() == usage;
            EXPECT_EQ(result.exit, usageShown ? InstallerExit::BadCommandLine : InstallerExit::Installed);
        }
        EXPECT_FALSE(result.request.silent);
        EXPECT_EQ(result.request.directory, "");
        EXPECT_EQ(result.shown, c.shown);
    }
}

TEST_F(Startup, LeadingSpaceMakesTheProgramPathAnOption) {
    // A line that starts with a space has an empty argument 0, so the program
    // path becomes argument 1, which no option matches.
    ScriptedHost host(installer_, " " + QuotedProgram(installer_));
    InstallerArchive archive;
    InstallationRequest request;
    InstallerExit exit = InstallerExit::Installed;
    EXPECT_FALSE(RunStartup(host, host, archive, ParseProgramArguments(host.RawCommandLine()), request, exit));
    EXPECT_EQ(exit, InstallerExit::BadCommandLine);
    EXPECT_EQ(host.shown, std::vector<ShownMessage>{UsageBox("zorsetup")});
}

TEST_F(Startup, LoadsTheProgramsOwnFile) {
    ScriptedHost host(installer_, "setup");
    InstallerArchive archive;
    InstallationRequest request = StaleRequest();
    InstallerExit exit = InstallerExit::Installed;
    ASSERT_TRUE(RunStartup(host, host, archive, ParseProgramArguments(host.RawCommandLine()), request, exit));
    EXPECT_FALSE(request.force);
    EXPECT_EQ(archive.GetFilePath(), installer_);
    EXPECT_EQ(archive.GetAppName(), "Zor Demo");
    ASSERT_EQ(archive.GetEntries().size(), 2u);
    EXPECT_EQ(archive.GetEntries()[1].name, "readme.txt");
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(Startup, AnArgumentlessCommandLineProceeds) {
    // Nothing at all on the command line, not even the program path.
    for (const char* line : {"", " "}) {
        ScriptedHost host(installer_, line);
        InstallerArchive archive;
        InstallationRequest request = StaleRequest();
        InstallerExit exit = InstallerExit::Installed;
        EXPECT_TRUE(RunStartup(host, host, archive, ParseProgramArguments(host.RawCommandLine()), request, exit))
            << "[" << line << "]";
        EXPECT_FALSE(request.force);
        EXPECT_TRUE(host.shown.empty());
    }
}

// An absolute directory of the platform, for "/D=".
#ifdef _WIN32
const std::string kRoot = "C:\\";
#else
const std::string kRoot = "/";
#endif

// "/S" anywhere among the options; "/D=" the last argument, its value the
// rest of the line, spaces included.
TEST_F(Startup, ReadsTheSilentAndDirectorySwitches) {
    struct Case {
        std::string options;
        bool silent, force;
        std::string directory;
        std::string extractDirectory = {}; // empty: no "/extract"
    };
    const std::string here = GetCurrentDirectoryPath();
    std::vector<Case> accepted = {
        {" /S", true, false, ""},
        {" /extract " + kRoot + "out", false, false, "", kRoot + "out"},
        {" /S /extract \"my out\"", true, false, "", BuildPath(here, "my out", nullptr)}, // from the current directory
        {" /extract a/b -f", false, true, "", BuildPath(here, WithNativeSeparators("a/b"), nullptr)},
        {" /S /D=" + BuildPath(kRoot + "Program Files", "My App", nullptr), true, false,
         BuildPath(kRoot + "Program Files", "My App", nullptr)},
        {" /D=" + kRoot + "My  App  ", false, false, kRoot + "My  App"}, // blanks inside kept, at the end dropped
        {" -f /S /D=" + kRoot + "x", true, true, kRoot + "x"},
        {" /D=" + kRoot + "a -f", false, false, kRoot + "a -f"},           // all after "/D=" is the directory
        {" /S /D=\"" + kRoot + "My App\"", true, false, kRoot + "My App"}, // quotes around the value, a common slip
        {" /S \"/D=" + kRoot + "My App\"", true, false, kRoot + "My App"}, // or around the whole argument
        {" /S /S", true, false, ""},
    };
#ifdef _WIN32
    accepted.push_back({" /S /D=\\\\server\\share\\x y", true, false, "\\\\server\\share\\x y"});
    accepted.push_back({" /D=d:/apps/x", false, false, "d:\\apps\\x"}); // "/" separates as "\\" does
#endif
    for (const Case& c : accepted) {
        SCOPED_TRACE("options [" + c.options + "]");
        const StartupResult result = Start(installer_, c.options);
        EXPECT_TRUE(result.proceed);
        EXPECT_EQ(result.request.silent, c.silent);
        EXPECT_EQ(result.request.force, c.force);
        EXPECT_EQ(result.request.directory, c.directory);
        EXPECT_EQ(result.request.extractOnly, !c.extractDirectory.empty());
        EXPECT_EQ(result.request.extractDirectory, c.extractDirectory);
        EXPECT_TRUE(result.shown.empty());
        EXPECT_EQ(ParseProgramArguments(QuotedProgram(installer_) + c.options).silent, c.silent);
    }
    const std::string sep(1, PathSeparator());
    std::vector<std::string> refused = {
        " /S /D=" + kRoot + "Apps" + sep + ".." + sep + "Apps" + sep + "dd", // no way out of a folder
        " /S /D=",
        " /D=   ",
        " /D=relative\\dir",
        " /D=C:",
        " /D=C:dir",
        " /D=" + kRoot + "a\"b",
        " /D=\"" + kRoot + "a",
        " /s",
        " /S -x",
        " /SD",
        " /d=" + kRoot + "a",
        " /extract",                                  // no directory
        " /extract " + kRoot + "a /D=" + kRoot + "b", // the two exclude each other
    };
#ifdef _WIN32
    for (const char* device : {" /S /D=\\\\?\\C:\\x", " /S /D=\\\\.\\C:\\x", " /S /D=C:\\x\\NUL"})
        refused.push_back(device);
#endif
    for (const std::string& options : refused) {
        SCOPED_TRACE("options [" + options + "]");
        const StartupResult result = Start(installer_, options);
        EXPECT_FALSE(result.proceed);
        EXPECT_EQ(result.exit, InstallerExit::BadCommandLine);
        EXPECT_EQ(result.shown, std::vector<ShownMessage>{UsageBox("zorsetup")});
    }
    // The program path is argument 0 even when it looks like a switch.
    EXPECT_FALSE(ParseProgramArguments("/S").silent);
    ScriptedHost host(installer_, "/D=" + kRoot + "x");
    InstallerArchive archive;
    InstallationRequest request;
    InstallerExit exit = InstallerExit::Installed;
    ASSERT_TRUE(RunStartup(host, host, archive, ParseProgramArguments(host.RawCommandLine()), request, exit));
    EXPECT_EQ(request.directory, "");
    // "-c" and "-v" are answered under "/S" too (the host decides where to).
    const StartupResult content = Start(installer_, " /S -c");
    EXPECT_FALSE(content.proceed);
    EXPECT_EQ(content.exit, InstallerExit::Installed);
    EXPECT_EQ(content.shown, std::vector<ShownMessage>{DemoContentBox()});
}

struct ContentCase {
    const char* windowList;
    const char* windowItems;
};

TEST(StartupContent, ListsEveryWindowItemAndFile) {
    const ContentCase cases[] = {
        {"Zor Demo", "\tZor Demo\n"},
        {"a;;b;", "\ta\n\t\n\tb\n\t\n"}, // empty pieces count, the one after the last ";" too
        {"", "\t\n"},                    // an empty list is one empty item
        {";", "\t\n\t\n"},
        {"Zor Demo - [Untitled];ZorDemo", "\tZor Demo - [Untitled]\n\tZorDemo\n"},
    };
    TempDir dir;
    int index = 0;
    for (const ContentCase& c : cases) {
        SCOPED_TRACE(std::string("window list [") + c.windowList + "]");
        InstallerContent content;
        content.windowList = c.windowList;
        content.files = {{"app.exe", "MZ"}, {"app.dll", "dll"}, {"data.bin", std::string(3000, 'd')}};
        const std::string installer = dir / ("setup" + std::to_string(index++) + ".exe");
        WriteInstaller(installer, content);
        const StartupResult result = Start(installer, " -c");
        EXPECT_FALSE(result.proceed);
        EXPECT_EQ(result.shown, std::vector<ShownMessage>{ContentBox("Zor Demo", "1.2.3", "Zor Demo App", c.windowItems,
                                                                     "\tapp.exe\n\tapp.dll\n\tdata.bin\n")});
    }
}

TEST(StartupContent, ManyFilesKeepTheBoxOnTheScreen) {
    TempDir dir;
    for (const std::size_t count : {30u, 31u, 45u}) {
        SCOPED_TRACE(count);
        InstallerContent content;
        content.files.clear();
        std::string listed;
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = "file" + std::to_string(100 + i) + ".txt";
            content.files.push_back({name, name});
            if (i < 30) listed += "\t" + name + "\n";
        }
        if (count == 31) listed += "\t... and 1 more file\n";
        if (count == 45) listed += "\t... and 15 more files\n";
        const std::string installer = dir / ("many" + std::to_string(count) + ".exe");
        WriteInstaller(installer, content);
        const StartupResult result = Start(installer, " -c");
        EXPECT_EQ(result.shown, std::vector<ShownMessage>{ContentBox("Zor Demo", "1.2.3", "Zor Demo App",
                                                                     "\tZor Demo\n\tZorDemo\n", listed)});
    }
}

TEST(StartupContent, AnArchiveWithoutFilesListsError) {
    TempDir dir;
    InstallerContent content;
    content.files.clear();
    content.appName = "Empty";
    content.version = "";
    content.shortcutName = "";
    const std::string installer = dir / "empty.exe";
    WriteInstaller(installer, content);
    const StartupResult result = Start(installer, " -c");
    EXPECT_FALSE(result.proceed);
    EXPECT_EQ(result.shown,
              std::vector<ShownMessage>{ContentBox("Empty", "", "", "\tZor Demo\n\tZorDemo\n", "\t[Error]\n")});
}

TEST(StartupUsage, NamesTheProgramWithoutDirectoryAndExtension) {
    const struct {
        const char* fileName;
        const char* baseName;
    } cases[] = {
        {"zorsetup.exe", "zorsetup"},
        {"Demo Setup 1.2.exe", "Demo Setup 1.2"}, // cut at the last "." only
        {"INSTALL", "INSTALL"},
        {"setup.EXE", "setup"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fileName);
        const std::string installer = dir / c.fileName;
        WriteInstaller(installer, InstallerContent());
        const StartupResult result = Start(installer, " -h");
        EXPECT_FALSE(result.proceed);
        EXPECT_EQ(result.shown, std::vector<ShownMessage>{UsageBox(c.baseName)});
    }
}

// Damage done to a good installer file, and the code loading must report.
struct DamageCase {
    const char* what;
    void (*damage)(const std::string& path);
    ZorInstallerError code;
};

void Remove(const std::string& path) { std::filesystem::remove(path); }
void Empty(const std::string& path) { std::ofstream(path, std::ios::binary | std::ios::trunc); }
void CutLastByte(const std::string& path) { std::filesystem::resize_file(path, std::filesystem::file_size(path) - 1); }
// Overwrites four bytes at offset from the end of the file.
void PatchFromEnd(const std::string& path, std::uintmax_t fromEnd, std::uint32_t value) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(std::filesystem::file_size(path) - fromEnd));
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                           static_cast<char>(value >> 24)};
    file.write(bytes, 4);
}
void BreakSignature(const std::string& path) { PatchFromEnd(path, 64, 0x5A5A5A5A); }
void FutureVersion(const std::string& path) { PatchFromEnd(path, 64 - 16, 260); }
void TocBeyondTheEnd(const std::string& path) { PatchFromEnd(path, 64 - 28, 0x7FFFFFFF); }
void HugeEntryCount(const std::string& path) { PatchFromEnd(path, 64 - 24, 1000); }

TEST(StartupFailure, ADamagedArchiveShowsOnlyTheLoadError) {
    const DamageCase cases[] = {
        {"missing file", Remove, ZorInstallerError::CannotOpenFile},
        {"empty file", Empty, ZorInstallerError::BadSignature},
        {"truncated tailer", CutLastByte, ZorInstallerError::BadSignature},
        {"broken signature", BreakSignature, ZorInstallerError::BadSignature},
        {"unknown format version", FutureVersion, ZorInstallerError::VersionNotSupported},
        {"TOC offset past the end", TocBeyondTheEnd, ZorInstallerError::BadToc},
        {"more entries than the TOC holds", HugeEntryCount, ZorInstallerError::BadToc},
    };
    // Loading comes first: no option is answered, "-f" does not proceed.
    const char* const optionSets[] = {"", " -v", " -c -v", " -f", " -x", " /S", " /D=relative"};
    TempDir dir;
    int index = 0;
    for (const DamageCase& c : cases) {
        const std::string installer = dir / ("damaged" + std::to_string(index++) + ".exe");
        WriteInstaller(installer, InstallerContent());
        c.damage(installer);
        for (const char* options : optionSets) {
            SCOPED_TRACE(std::string(c.what) + ", options [" + options + "]");
            const StartupResult result = Start(installer, options);
            EXPECT_FALSE(result.proceed);
            EXPECT_EQ(result.exit, InstallerExit::ArchiveNotLoaded);
            EXPECT_EQ(result.shown, std::vector<ShownMessage>{LoadFailureBox(c.code)});
        }
    }
}

TEST(StartupMessages, EveryLoadingLineReachesTheMessageList) {
    TempDir dir;
    const std::string good = dir / "good.exe";
    const std::string missing = dir / "missing.exe";
    WriteInstaller(good, InstallerContent());
    for (const std::string& installer : {good, missing}) {
        SCOPED_TRACE(installer);
        const std::vector<std::string> expected = LoadingLines(installer);
        ASSERT_FALSE(expected.empty());
        const std::size_t before = InstallationMessages().size();
        Start(installer, " -v");
        const std::vector<std::string>& messages = InstallationMessages();
        ASSERT_GE(messages.size(), before);
        EXPECT_EQ(std::vector<std::string>(messages.begin() + static_cast<std::ptrdiff_t>(before), messages.end()),
                  expected);
    }
}

TEST(InstallationProgress, AppendsEachLineAndIgnoresTheUserWord) {
    std::vector<std::string>& messages = InstallationMessages();
    const std::size_t before = messages.size();
    InstallationProgress("first line", 0);
    InstallationProgress("second line", 12345);
    InstallationProgress("", ~std::uintptr_t{0});
    InstallationProgress(nullptr, 0);
    ASSERT_EQ(messages.size(), before + 4);
    EXPECT_EQ(messages[before], "first line");
    EXPECT_EQ(messages[before + 1], "second line");
    EXPECT_EQ(messages[before + 2], "");
    EXPECT_EQ(messages[before + 3], "");
    static_assert(std::is_same_v<decltype(&InstallationProgress), ProgressCallback>);
}

} // namespace
