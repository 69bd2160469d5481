#include "tests/app/installer_files.h"

#include "archive/entry_name.h"
#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "common/path.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>

namespace {

void Record(const char* text, std::uintptr_t userWord) {
    reinterpret_cast<std::vector<std::string>*>(userWord)->emplace_back(text);
}

} // namespace

void WriteInstaller(const std::string& path, const InstallerContent& content) {
    const std::string sourceDirectory = path + ".files";
    ASSERT_TRUE(CreateDirectoryTree(sourceDirectory));

    InstallerArchive archive;
    std::vector<std::string> lines;
    archive.SetProgressCallback(Record, reinterpret_cast<std::uintptr_t>(&lines));
    // Any bytes serve as the extractor image: loading never looks at it.
    archive.SetExtractorImage({'M', 'Z', 0x90, 0x00, 'z', 'o', 'r', 's', 'e', 't', 'u', 'p'});
    archive.SetAppName(content.appName);
    archive.SetVersion(content.version);
    archive.SetShortcutName(content.shortcutName);
    archive.SetWindowList(content.windowList);
    archive.SetExtensions(content.extensions);
    for (const auto& [name, data] : content.files) {
        // A name with folders ("bin\demo.exe") comes from the same folders.
        const std::string source = BuildPath(sourceDirectory, NativeEntryPath(name), nullptr);
        ASSERT_TRUE(CreateDirectoryTree(GetPathPart(source, kPathDirectory)));
        std::ofstream(source, std::ios::binary) << data;
        ASSERT_TRUE(archive.AddFile(source, name)) << source;
    }
    archive.SetFilePath(path);
    std::string error;
    ASSERT_TRUE(archive.MakeInstaller(&error)) << error << "\n" << ::testing::PrintToString(lines);
}

std::vector<std::string> LoadingLines(const std::string& path) {
    InstallerArchive archive;
    std::vector<std::string> lines;
    archive.SetProgressCallback(Record, reinterpret_cast<std::uintptr_t>(&lines));
    archive.SetFilePath(path);
    archive.LoadInstaller();
    return lines;
}
