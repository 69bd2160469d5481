#include "app/installation_journal.h"

#include "app/installation_messages.h"
#include "archive/entry_name.h"
#include "archive/installer_archive.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"

#include <algorithm>

namespace {

void RemoveNoted(const char* what, const std::string& path) {
    InstallationProgress(StringFormat("Removing %s '%s'...", what, path.c_str()).c_str(), 0);
    DeleteFileAt(path);
}

} // namespace

void InstallationJournal::NoteStateBefore(const std::string& directory, const InstallerArchive& archive) {
    newFiles_.clear();
    newFolders_.clear();
    links_.clear();
    // The directory and its missing parents, deepest first, up to the first
    // that exists (a drive or root always does).
    std::vector<std::string> chain;
    for (std::string folder = directory; !folder.empty() && !DirectoryExists(folder);) {
        chain.push_back(folder);
        const std::string parent = GetPathPart(folder, kPathDirectory);
        if (parent == folder) break;
        folder = parent;
    }
    const bool directoryIsNew = !chain.empty();

    // Every folder an entry's name has ("a", "a\b" for "a\b\c.txt"), once.
    // The entries of one folder follow each other, so a folder is mostly the
    // previous entry's, and the list is searched only for a new one.
    std::vector<std::string> entryFolders;
    std::string previousFolder;
    for (const ArchiveEntry& entry : archive.GetEntries()) {
        const std::string destination = BuildPath(directory, NativeEntryPath(entry.name), nullptr);
        if (directoryIsNew || !FileExists(destination)) newFiles_.push_back(destination);
        const std::size_t last = entry.name.rfind(kEntrySeparator);
        if (last == std::string::npos || entry.name.compare(0, last, previousFolder) == 0) continue;
        previousFolder = entry.name.substr(0, last);
        for (std::size_t end = entry.name.find(kEntrySeparator); end != std::string::npos;
             end = entry.name.find(kEntrySeparator, end + 1)) {
            std::string level = entry.name.substr(0, end);
            if (std::find(entryFolders.begin(), entryFolders.end(), level) == entryFolders.end())
                entryFolders.push_back(std::move(level));
        }
    }
    // Each folder was listed after its parent: from the last one back, the
    // entries' folders come before the directory's chain, deepest first.
    for (auto folder = entryFolders.rbegin(); folder != entryFolders.rend(); ++folder) {
        const std::string path = BuildPath(directory, NativeEntryPath(*folder), nullptr);
        if (directoryIsNew || !DirectoryExists(path)) newFolders_.push_back(path);
    }
    newFolders_.insert(newFolders_.end(), chain.begin(), chain.end());
}

void InstallationJournal::Undo() const {
    for (const std::string& link : links_) RemoveNoted("shortcut", link);
    for (const std::string& file : newFiles_)
        if (FileExists(file)) RemoveNoted("file", file);
    for (const std::string& folder : newFolders_) RemoveEmptyDirectory(folder);
}
