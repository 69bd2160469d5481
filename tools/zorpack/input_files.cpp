#include "tools/zorpack/input_files.h"

#include "archive/entry_name.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"
#include "tools/zorpack/input_tree.h"
#include "tools/zorpack/wildcards.h"

#include <map>
#include <string_view>

namespace zorpack {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Windows accepts "/" as a separator, but the archive's path rules split at
// "\" only: "dir/App.exe" would be stored under a name with a slash in it.
std::string NativeSeparators(std::string path) {
    if constexpr (kNativePathStyle == PathStyle::Windows)
        for (char& c : path)
            if (c == '/') c = '\\';
    return path;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool ReadListFile(const std::string& path, std::vector<std::string>& paths, std::string& error) {
    CFile file;
    if (!file.OpenForReading(path)) {
        error = StringFormat("cannot read the list file '%s': %s", path.c_str(), LastErrorText());
        return false;
    }
    std::string text;
    char buffer[65536];
    for (std::size_t count; (count = file.Read(buffer, sizeof buffer)) != 0;) text.append(buffer, count);
    std::size_t start = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0 ? kByteOrderMark.size() : 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (!line.empty() && IsBlank(line.back())) line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        paths.push_back(NativeSeparators(std::move(line)));
    }
    return true;
}

} // namespace

bool ExpandInputList(const std::vector<std::string>& given, std::vector<std::string>& paths, std::string& error) {
    paths.clear();
    for (const std::string& entry : given) {
        if (entry.size() > 1 && entry[0] == '@') {
            if (!ReadListFile(NativeSeparators(entry.substr(1)), paths, error)) return false;
        } else if (!ExpandWildcards(NativeSeparators(entry), paths, error)) {
            return false;
        }
    }
    return true;
}

namespace {

// Appends the file at path, found by a directory lookup, to be stored as name.
bool AddInputFile(const std::string& path, const std::string& name, const FileDetails& details,
                  std::vector<InputFile>& files, std::string& error) {
    FileIdentity identity;
    if (!GetFileIdentity(path, identity)) {
        error = StringFormat("cannot read the input file '%s': %s", path.c_str(), LastErrorText());
        return false;
    }
    if (!details.isRegular) {
        error = StringFormat("'%s' is not a plain file (it is a device, a FIFO or a socket): an installer "
                             "holds plain files only",
                             path.c_str());
        return false;
    }
    if (details.size > archive_format::kMaxArchiveSize) {
        error = StringFormat("the input file '%s' has %llu bytes; an installer holds only files below 4 GiB",
                             path.c_str(), static_cast<unsigned long long>(details.size));
        return false;
    }
    files.push_back({path, name, details.size, identity, details.times.lastWrite});
    return true;
}

} // namespace

bool ExamineInputFiles(const std::vector<std::string>& paths, std::vector<InputFile>& files, std::string& error) {
    files.clear();
    files.reserve(paths.size());
    for (const std::string& path : paths) {
        FileDetails details;
        if (!GetFileDetails(WithoutEndSeparators(path), details)) {
            error = StringFormat("cannot read the input file '%s': %s", path.c_str(), LastErrorText());
            return false;
        }
        if (!details.isDirectory) {
            if (NamesDirectoryContent(path)) {
                error = StringFormat("'%s' ends with a separator, but it is no directory", path.c_str());
                return false;
            }
            if (!AddInputFile(path, GetPathPart(path, kPathFileName), details, files, error)) return false;
            continue;
        }
        std::vector<TreeFile> found;
        if (!ListTreeFiles(path, found, error)) return false;
        for (const TreeFile& file : found)
            if (!AddInputFile(file.path, file.name, file.details, files, error)) return false;
    }
    return true;
}

std::string CheckFileNames(const std::vector<InputFile>& files) {
    for (const InputFile& file : files) {
        // The file's own name is one component, whatever characters it holds
        // (a "\" in a Linux file name is no folder); the whole stored name
        // must then fit as a relative name.
        std::string problem = EntryNameProblem(GetPathPart(file.path, kPathFileName));
        if (!problem.empty())
            return StringFormat("the input file '%s' cannot be installed: its name %s", file.path.c_str(),
                                problem.c_str());
        problem = EntryPathProblem(file.name);
        if (!problem.empty())
            return StringFormat("the input file '%s' cannot be installed as '%s': that name %s", file.path.c_str(),
                                file.name.c_str(), problem.c_str());
    }
    return {};
}

std::string FindFileFolderClash(const std::vector<InputFile>& files) {
    std::map<std::string, const InputFile*> folders;
    for (const InputFile& file : files)
        for (std::size_t end = file.name.find(kEntrySeparator); end != std::string::npos;
             end = file.name.find(kEntrySeparator, end + 1))
            folders.emplace(EntryNameKey(std::string_view(file.name).substr(0, end)), &file);
    for (const InputFile& file : files) {
        const auto folder = folders.find(EntryNameKey(file.name));
        if (folder != folders.end())
            return StringFormat("'%s' would install as '%s', a file where '%s' needs a folder of that name",
                                file.path.c_str(), file.name.c_str(), folder->second->path.c_str());
    }
    return {};
}

std::string FindDuplicateNames(const std::vector<InputFile>& files) {
    std::map<std::string, const InputFile*> seen;
    for (const InputFile& file : files) {
        const auto [where, added] = seen.emplace(EntryNameKey(file.name), &file);
        if (!added)
            return StringFormat(
                "duplicate file name: '%s' and '%s' would both install as '%s' (--allow-duplicates stores both)",
                where->second->path.c_str(), file.path.c_str(), file.name.c_str());
    }
    return {};
}

std::string FindUninstallerClash(const std::vector<InputFile>& files, bool carried) {
    for (const InputFile& file : files) {
        if (IsUninstallerEntry(file.name))
            return StringFormat("the input file '%s' would install as '%s', where the installation writes its "
                                "uninstaller (--uninstaller, --uninstall-key); store it in a folder or rename it",
                                file.path.c_str(), file.name.c_str());
        if (carried && IsUninstallRecordEntry(file.name))
            return StringFormat("the input file '%s' would install as '%s', where the installation writes the "
                                "record of its signed uninstaller (--sign-command); store it in a folder or rename it",
                                file.path.c_str(), file.name.c_str());
    }
    return {};
}

} // namespace zorpack
