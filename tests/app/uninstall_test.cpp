// The uninstaller: what an installation with an uninstall key leaves behind
// (uninstall.exe with its record, the registry entry), and the uninstaller's
// run, driven through the application object with a scripted system: exactly
// what the record names goes, files a user added stay, and a hostile record
// removes nothing.
#include "app/uninstall_sequence.h"
#include "app/uninstaller_setup.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/system_info.h"
#include "compress/md5_digest.h"
#include "tests/app/installer_files.h"
#include "tests/app/installer_run.h"
#include "uninstall/uninstaller_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace scripted_folder;

const std::string kAppPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\demo.exe";
const std::string kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zor Demo";

class Uninstaller : public InstallerRun {
protected:
    // The demo with an uninstaller, version 1.2.3 unless changed.
    static InstallerContent Demo() {
        InstallerContent content;
        content.files = {{"bin\\demo.exe", "MZ demo program"}, {"readme.txt", "Read me first.\n"}};
        content.extensions = {{"uninstall-key", "Zor Demo"}};
        return content;
    }

    // Installs the demo with an uninstaller into target_, silently.
    void Install() {
        WriteInstaller(installer_, Demo());
        ASSERT_EQ(Run(installer_, "/S /D=" + target_), 0);
        ASSERT_TRUE(IsUninstallerFile(uninstaller_));
        // The application registers itself when it runs.
        host_.RegisterAppPath(RegistryScope::Machine, "demo.exe", executable_);
    }

    std::string Log(const char* baseName = "uninstall") const {
        return ReadWholeFile(BuildPath(temp_, baseName, "log"));
    }
    UninstallRecord RecordOf(const std::string& uninstaller) const {
        UninstallRecord record;
        EXPECT_EQ(ReadUninstallerRecord(uninstaller, record), "");
        return record;
    }

    std::string Link(const char* folder) const {
        return BuildPath(BuildPath(dir_.path(), folder, nullptr), "Zor Demo App", "lnk");
    }

    const std::string target_ = BuildPath(dir_ / "apps", "Zor Demo", nullptr);
    const std::string uninstaller_ = BuildPath(target_, "uninstall.exe", nullptr);
    const std::string executable_ = BuildPath(BuildPath(target_, "bin", nullptr), "demo.exe", nullptr);
    const std::string menuLink_ =
        BuildPath(BuildPath(dir_ / "common programs", "ZorSoftware", nullptr), "Zor Demo App", "lnk");
};

TEST_F(Uninstaller, AnInstallationWritesTheUninstallerAndItsEntry) {
    Install();
    std::string bytes = ReadWholeFile(uninstaller_);
    UninstallRecord record;
    ASSERT_EQ(ParseUninstallRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record), "");
    EXPECT_EQ(bytes.substr(0, 12), std::string("MZ\x90\x00zorsetup", 12)) << "the installer's extractor image";
    EXPECT_EQ(record.appName, "Zor Demo");
    EXPECT_EQ(record.uninstallKey, "Zor Demo");
    EXPECT_EQ(record.appPathsName, "demo.exe");
    EXPECT_FALSE(record.perUser);
    EXPECT_EQ(record.files, (std::vector<std::string>{"bin\\demo.exe", "readme.txt"}));
    EXPECT_EQ(record.shortcuts, (std::vector<UninstallShortcut>{
                                    {kCommonPrograms, "ZorSoftware\\Zor Demo App.lnk"},
                                    {kCommonDesktop, "Zor Demo App.lnk"},
                                    {kAppData, "Microsoft\\Internet Explorer\\Quick Launch\\Zor Demo App.lnk"}}));
    EXPECT_EQ(record.windowList, "Zor Demo;ZorDemo");
    EXPECT_EQ(record.directory, target_);

    const std::string quoted = "\"" + uninstaller_ + "\"";
    const std::vector<RegistryValue>& entry = host_.registry[{RegistryScope::Machine, kEntry}];
    EXPECT_EQ(entry, (std::vector<RegistryValue>{{"DisplayName", "Zor Demo", 0, false},
                                                 {"DisplayVersion", "1.2.3", 0, false},
                                                 {"Publisher", "", 0, false},
                                                 {"InstallLocation", target_, 0, false},
                                                 {"DisplayIcon", executable_, 0, false},
                                                 {"UninstallString", quoted, 0, false},
                                                 {"QuietUninstallString", quoted + " /S", 0, false},
                                                 {"EstimatedSize", "", 1, true},
                                                 {"NoModify", "", 1, true},
                                                 {"NoRepair", "", 1, true}}));
    // Without the key nothing of this is written.
    std::filesystem::remove(uninstaller_);
    WriteInstaller(installer_, InstallerContent());
    host_.registry.clear();
    EXPECT_EQ(Run(installer_, "/S /D=" + target_), 0);
    EXPECT_FALSE(FileExists(uninstaller_));
    EXPECT_TRUE(host_.registry.empty());
}

// An installer with the publisher's icon leaves it in the uninstaller, which
// the entry then shows.
TEST_F(Uninstaller, TheEntryShowsTheUninstallersIconWhenTheInstallerHasOne) {
    InstallerContent content = Demo();
    content.extensions.push_back({"icon", "uninstaller"});
    WriteInstaller(installer_, content);
    ASSERT_EQ(Run(installer_, "/S /D=" + target_), 0);
    const std::vector<RegistryValue>& entry = host_.registry[{RegistryScope::Machine, kEntry}];
    const auto icon =
        std::find_if(entry.begin(), entry.end(), [](const RegistryValue& v) { return v.name == "DisplayIcon"; });
    ASSERT_NE(icon, entry.end());
    EXPECT_EQ(icon->text, uninstaller_);
}

TEST_F(Uninstaller, SilentlyRemovesWhatTheInstallationMadeAndKeepsTheRest) {
    Install();
    dir_.WriteFile("apps/Zor Demo/notes.txt", "the user's own");
    EXPECT_EQ(Run(uninstaller_, "/S"), 0);
    EXPECT_TRUE(host_.shown.empty());
    EXPECT_FALSE(FileExists(executable_));
    EXPECT_FALSE(DirectoryExists(BuildPath(target_, "bin", nullptr))) << "emptied folders go";
    EXPECT_FALSE(FileExists(BuildPath(target_, "readme.txt", nullptr)));
    EXPECT_EQ(ReadWholeFile(BuildPath(target_, "notes.txt", nullptr)), "the user's own");
    EXPECT_FALSE(FileExists(menuLink_));
    EXPECT_FALSE(DirectoryExists(GetPathPart(menuLink_, kPathDirectory))) << "the publisher's empty menu folder";
    EXPECT_TRUE(host_.registry.empty()) << "App Paths and the entry";
    // The uninstaller cannot delete itself: its copy in TEMP will.
    const std::string copy = BuildPath(temp_, ("zor-uninstall-" + std::to_string(CurrentProcessId())).c_str(), "exe");
    EXPECT_EQ(host_.events.back(),
              "start: " + copy + " /_remove=" + std::to_string(CurrentProcessId()) + ":" + uninstaller_);
    EXPECT_TRUE(IsUninstallerFile(copy));
    const std::string log = ReadWholeFile(BuildPath(temp_, "uninstall", "log"));
    EXPECT_NE(log.find("Files it did not install stay in '" + target_ + "'."), std::string::npos) << log;
    EXPECT_NE(log.find("Exit code 0 (removed)"), std::string::npos) << log;

    // The copy's run: once the uninstaller has ended, it and its folder go
    // (the folder only when empty).
    std::filesystem::remove(BuildPath(target_, "notes.txt", nullptr));
    EXPECT_EQ(Run(copy, "/_remove=4242:" + uninstaller_), 0);
    EXPECT_EQ(host_.events.front(), "wait: 4242");
    EXPECT_FALSE(FileExists(uninstaller_));
    EXPECT_FALSE(DirectoryExists(target_));
    // It deletes nothing but an uninstaller.
    const std::string other = dir_.WriteFile("precious.exe", "MZ not an uninstaller");
    EXPECT_EQ(Run(copy, "/_remove=4242:" + other), 1);
    EXPECT_TRUE(FileExists(other));
}

TEST_F(Uninstaller, AsksFirstAndWaitsForRunningInstances) {
    Install();
    host_.answers = {kButtonNo};
    EXPECT_EQ(Run(uninstaller_, ""), 7);
    EXPECT_TRUE(FileExists(executable_)) << "No removes nothing";
    EXPECT_EQ(host_.shown.front().text, "Do you want to remove 'Zor Demo' (1.2.3) from:\n\n" + target_ + " ?");

    host_.windows.desktops = {{{7, "Zor Demo", "ZorFrame"}}};
    EXPECT_EQ(Run(uninstaller_, "/S"), 4);
    EXPECT_TRUE(FileExists(executable_)) << "a running application is left as it is";

    host_.answers = {kButtonYes, kButtonCancel};
    EXPECT_EQ(Run(uninstaller_, ""), 7);
    EXPECT_EQ(host_.shown[1].text.rfind("Following windows have to be closed before removing 'Zor Demo':", 0), 0u);
    EXPECT_TRUE(FileExists(executable_));

    host_.windows.desktops.clear();
    host_.answers = {kButtonYes};
    EXPECT_EQ(Run(uninstaller_, ""), 0);
    EXPECT_EQ(host_.shown.back().text, "'Zor Demo' (1.2.3) was removed.");
    EXPECT_FALSE(FileExists(executable_));
    EXPECT_EQ(Run(uninstaller_, "-x"), 1);
}

// A per-user installation keeps its entry under the current user's root, and
// its uninstaller removes it from there.
TEST_F(Uninstaller, APerUserInstallationUsesTheCurrentUsersEntry) {
    InstallerContent content;
    content.extensions = {{"scope", "per-user"}, {"uninstall-key", "Zor Demo"}};
    WriteInstaller(installer_, content);
    ASSERT_EQ(Run(installer_, "/S /D=" + target_), 0);
    EXPECT_EQ(host_.ReadRegistryString(RegistryScope::CurrentUser, kEntry, "InstallLocation"), target_);
    EXPECT_EQ(host_.ReadRegistryString(RegistryScope::Machine, kEntry, "InstallLocation"), "");
    EXPECT_EQ(Run(uninstaller_, "/S"), 0);
    EXPECT_EQ(host_.ReadRegistryString(RegistryScope::CurrentUser, kEntry, "InstallLocation"), "");
    EXPECT_FALSE(FileExists(BuildPath(target_, "demo.exe", nullptr)));
}

// An App Paths key that now names another installation is not this one's.
TEST_F(Uninstaller, KeepsAnAppPathsKeyOfAnotherInstallation) {
    Install();
    const std::string elsewhere = BuildPath(dir_ / "other", "demo.exe", nullptr);
    host_.registry[{RegistryScope::Machine, kAppPaths}][0].text = elsewhere;
    EXPECT_EQ(Run(uninstaller_, "/S"), 0);
    EXPECT_EQ(host_.ReadRegistryString(RegistryScope::Machine, kAppPaths, ""), elsewhere);
}

TEST_F(Uninstaller, AHostileRecordRemovesNothing) {
    const std::string outside = dir_.WriteFile("outside.txt", "not the installation's");
    CreateDirectoryTree(target_);
    dir_.WriteFile("apps/Zor Demo/readme.txt", "installed");
    // A record the builder would refuse, written by hand: a sound one whose
    // file name is edited to climb out of the directory.
    UninstallRecord record;
    record.appName = "Zor Demo";
    record.uninstallKey = "Zor Demo";
    record.files = {"readme.txt", "xxxoutside.txt"};
    std::string bytes = "MZ" + EncodeUninstallRecord(record);
    bytes.replace(bytes.find("xxxoutside.txt"), 3, "..\\");
    std::uint8_t digest[16];
    Md5Digest md5;
    const std::size_t bodySize = bytes.size() - 2 - uninstall_format::kTrailerSize;
    md5.Update(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bodySize);
    md5.Final(digest);
    bytes.replace(bytes.size() - 16, 16, reinterpret_cast<const char*>(digest), 16);
    dir_.WriteFile("apps/Zor Demo/uninstall.exe", bytes);

    EXPECT_EQ(Run(uninstaller_, "/S"), 2);
    EXPECT_TRUE(FileExists(outside));
    EXPECT_EQ(ReadWholeFile(BuildPath(target_, "readme.txt", nullptr)), "installed");
    const std::string log = ReadWholeFile(BuildPath(temp_, "uninstall", "log"));
    EXPECT_NE(log.find("has the file '..\\outside.txt' that"), std::string::npos) << log;
    EXPECT_TRUE(host_.events.empty()) << "no copy started either";
}

// An update finds the installation through its uninstall entry wherever it
// went, rewrites the links this product made, and its record keeps every
// earlier version's files, so that uninstalling leaves nothing.
TEST_F(Uninstaller, UpdatesFindTheInstallationAndUninstallingRemovesEveryVersion) {
    InstallerContent first = Demo();
    first.version = "1.0";
    first.files = {{"demo.exe", "MZ version 1"}, {"docs\\old.txt", "only in 1.0"}, {"readme.txt", "1"}};
    WriteInstaller(installer_, first);
    ASSERT_EQ(Run(installer_, "/S /D=" + target_), 0);

    InstallerContent second = Demo(); // its executable moves into bin
    second.version = "2.0";
    const std::string update = dir_ / "update.exe";
    WriteInstaller(update, second);
    ASSERT_EQ(Run(update, "/S"), 0);
    EXPECT_NE(Log("update").find("Zor Demo (2.0) succesfully updated."), std::string::npos) << Log("update");
    EXPECT_EQ(ReadWholeFile(executable_), "MZ demo program");
    EXPECT_FALSE(DirectoryExists(dir_ / "Program Files")) << "no second copy in the default folder";
    EXPECT_EQ(ReadWholeFile(menuLink_), executable_) << "the product's link follows its executable";
    EXPECT_EQ(RecordOf(uninstaller_).files,
              (std::vector<std::string>{"bin\\demo.exe", "readme.txt", "demo.exe", "docs\\old.txt"}));

    EXPECT_EQ(Run(uninstaller_, "/S"), 0);
    EXPECT_EQ(Log().find("did not install"), std::string::npos) << Log();
    EXPECT_EQ(CountDirectoryEntries(target_), 1) << "only the uninstaller, until its copy deletes it";
    EXPECT_FALSE(FileExists(menuLink_));
    EXPECT_TRUE(host_.registry.empty());
}

// Another product's uninstaller, or a file that is none, is never replaced.
TEST_F(Uninstaller, AnotherProductsFolderIsRefusedBeforeAnythingIsWritten) {
    Install();
    InstallerContent other;
    other.appName = "Other";
    other.files = {{"other.exe", "MZ other"}, {"readme.txt", "Other's readme"}};
    other.extensions = {{"uninstall-key", "Acme Other"}};
    const std::string otherInstaller = dir_ / "other.exe";
    WriteInstaller(otherInstaller, other);
    EXPECT_EQ(Run(otherInstaller, "/S /D=" + target_), 9);
    EXPECT_NE(Log("other").find("holds the installation of 'Zor Demo' (1.2.3)"), std::string::npos) << Log("other");
    EXPECT_FALSE(FileExists(BuildPath(target_, "other.exe", nullptr)));
    EXPECT_EQ(ReadWholeFile(BuildPath(target_, "readme.txt", nullptr)), "Read me first.\n");
    EXPECT_EQ(RecordOf(uninstaller_).uninstallKey, "Zor Demo");

    const std::string plain = dir_ / "plain";
    std::filesystem::create_directories(plain);
    dir_.WriteFile("plain/uninstall.exe", "MZ somebody's own program");
    EXPECT_EQ(Run(otherInstaller, "/S /D=" + plain), 9);
    EXPECT_EQ(ReadWholeFile(BuildPath(plain, "uninstall.exe", nullptr)), "MZ somebody's own program");
}

// Two copies of one product: each uninstaller removes its own copy, and the
// entry and links only while they are that copy's.
TEST_F(Uninstaller, TwoCopiesEachRemoveOnlyTheirOwn) {
    WriteInstaller(installer_, Demo());
    const std::string one = dir_ / "one", two = dir_ / "two";
    ASSERT_EQ(Run(installer_, "/S /D=" + one), 0);
    ASSERT_EQ(Run(installer_, "/S /D=" + two), 0);
    EXPECT_TRUE(RecordOf(BuildPath(two, "uninstall.exe", nullptr)).shortcuts.empty()) << "the links are one's";
    EXPECT_EQ(ReadWholeFile(menuLink_), BuildPath(BuildPath(one, "bin", nullptr), "demo.exe", nullptr));

    EXPECT_EQ(Run(BuildPath(one, "uninstall.exe", nullptr), "/S"), 0);
    EXPECT_FALSE(FileExists(menuLink_)) << "it pointed into one";
    EXPECT_EQ(host_.ReadRegistryString(RegistryScope::Machine, kEntry, "InstallLocation"), two);
    EXPECT_EQ(ReadWholeFile(BuildPath(two, "readme.txt", nullptr)), "Read me first.\n");
    EXPECT_EQ(Run(BuildPath(two, "uninstall.exe", nullptr), "/S"), 0);
    EXPECT_TRUE(host_.registry.empty());
}

// An uninstaller removes nothing outside its installation's directory: not
// a copy of it elsewhere, not its copy in the temporary folder.
TEST_F(Uninstaller, RemovesNothingOutsideItsDirectory) {
    Install();
    const std::string documents = dir_ / "documents";
    std::filesystem::create_directories(documents);
    for (const char* name : {"documents/readme.txt", "documents/demo.exe", "temp/readme.txt"})
        dir_.WriteFile(name, "the user's");
    const std::string copy = BuildPath(documents, "uninstall.exe", nullptr);
    std::filesystem::copy_file(uninstaller_, copy);
    for (const char* options : {"/S", ""}) {
        EXPECT_EQ(Run(copy, options), 2) << options;
        EXPECT_NE(host_.shown.empty() ? Log() : host_.shown.front().text, "");
    }
    EXPECT_NE(Log().find("belongs to the installation in '" + target_ + "'"), std::string::npos) << Log();
    EXPECT_EQ(Run(uninstaller_, "/_remove=1:" + uninstaller_), 1) << "the removal switch is the copy's alone";
    // The copy deletes the uninstaller only once the installation is gone.
    EXPECT_EQ(Run(copy, "/_remove=4242:" + uninstaller_), 1);
    EXPECT_TRUE(FileExists(uninstaller_));

    EXPECT_EQ(Run(uninstaller_, "/S"), 0);
    const std::string temporary =
        BuildPath(temp_, ("zor-uninstall-" + std::to_string(CurrentProcessId())).c_str(), "exe");
    EXPECT_EQ(Run(temporary, ""), 2);
    EXPECT_EQ(Run(temporary, "/S"), 2);
    EXPECT_EQ(ReadWholeFile(BuildPath(documents, "readme.txt", nullptr)), "the user's");
    EXPECT_EQ(ReadWholeFile(dir_ / "temp/readme.txt"), "the user's");
    // Run again once everything is gone, it says so.
    EXPECT_EQ(Run(uninstaller_, "/S"), 0);
    EXPECT_NE(Log().find("was not found in '" + target_ + "': there was nothing to remove."), std::string::npos)
        << Log();
    // A damaged uninstaller is reported as one, not as an installer.
    const std::string bytes = ReadWholeFile(uninstaller_);
    dir_.WriteFile("apps/Zor Demo/uninstall.exe", bytes.substr(0, bytes.size() - 7));
    EXPECT_EQ(Run(uninstaller_, "/S"), 2);
    EXPECT_NE(Log().find("Unable to uninstall: '" + uninstaller_ + "' is not an uninstaller"), std::string::npos)
        << Log();
}

// A disk that fills up at any write of a fresh installation: a failure among
// the files leaves nothing but the log, one at the uninstaller leaves the
// files and no partial uninstaller.
TEST_F(Uninstaller, AFullDiskAtAnyWriteLeavesACleanState) {
    WriteInstaller(installer_, Demo());
    constexpr std::uint32_t kDiskFull = 112;
    bool uninstallerFailed = false;
    unsigned filesFailed = 0;
    for (unsigned write = 1; !uninstallerFailed && write < 50; ++write) {
        SCOPED_TRACE(write);
        std::filesystem::remove_all(dir_ / "apps");
        host_.registry.clear(); // no entry: a fresh installation each time
        InjectFileFault(FileOperation::Write, write, kDiskFull);
        const int exit = Run(installer_, "/S /D=" + target_);
        ClearFileFaults();
        if (exit == 5) {
            EXPECT_NE(Log("zorsetup").find("!Error: Unable to extract files ("), std::string::npos) << Log("zorsetup");
            EXPECT_FALSE(DirectoryExists(dir_ / "apps"));
            EXPECT_FALSE(FileExists(menuLink_));
            ++filesFailed;
            continue;
        }
        ASSERT_EQ(exit, 8);
        uninstallerFailed = true;
        EXPECT_NE(Log("zorsetup").find("Unable to set up the uninstaller"), std::string::npos) << Log("zorsetup");
        EXPECT_EQ(ReadWholeFile(executable_), "MZ demo program");
        EXPECT_EQ(CountDirectoryEntries(target_), 2) << "bin and readme.txt, no uninstaller, no partial one";
    }
    EXPECT_TRUE(uninstallerFailed);
    EXPECT_GT(filesFailed, 0u);
}

} // namespace
