#include "tools/zorpack/input_files.h"

#include "common/error_texts.h"
#include "common/file.h"
#include "common/path.h"
#include "common/string_format.h"
#include "tools/zorpack/windows_names.h"

#include <map>

namespace zorpack {

namespace {

// Windows accepts "/" as a separator, but the archive's path rules split at
// "\" only: "dir/App.exe" would be stored under a name with a slash in it.
std::string NativeSeparators(std::string path) {
    if constexpr (kNativePathStyle == PathStyle::Windows)
        for (char& c : path)
            if (c == '/') c = '\\';
    return path;
}

bool IsBlank(const std::string& line) { return line.find_first_not_of(" \t") == std::string::npos; }

bool ReadListFile(const std::string& path, std::vector<std::string>& paths, std::string& error) {
    CFile file;
    if (!file.OpenForReading(path)) {
        error = StringFormat("cannot read the list file '%s': %s", path.c_str(), LastErrorText());
        return false;
    }
    std::string text;
    char buffer[65536];
    for (std::size_t count; (count = file.Read(buffer, sizeof buffer)) != 0;) text.append(buffer, count);
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!IsBlank(line)) paths.push_back(NativeSeparators(std::move(line)));
        start = end + 1;
    }
    return true;
}

} // namespace

bool ExpandInputList(const std::vector<std::string>& given, std::vector<std::string>& paths, std::string& error) {
    paths.clear();
    for (const std::string& entry : given) {
        if (entry.size() > 1 && entry[0] == '@') {
            if (!ReadListFile(NativeSeparators(entry.substr(1)), paths, error)) return false;
        } else {
            paths.push_back(NativeSeparators(entry));
        }
    }
    return true;
}

bool ExamineInputFiles(const std::vector<std::string>& paths, std::vector<InputFile>& files, std::string& error) {
    files.clear();
    files.reserve(paths.size());
    for (const std::string& path : paths) {
        CFile file;
        if (!file.OpenForReading(path)) {
            error = StringFormat("cannot read the input file '%s': %s", path.c_str(), LastErrorText());
            return false;
        }
        InputFile input{path, GetPathPart(path, kPathFileName), file.GetLength()};
        if (input.size > kMaxInputSize) {
            error = StringFormat("the input file '%s' has %llu bytes; an installer holds only files below 4 GiB",
                                 path.c_str(), static_cast<unsigned long long>(input.size));
            return false;
        }
        files.push_back(std::move(input));
    }
    return true;
}

std::string CheckFileNames(const std::vector<InputFile>& files) {
    for (const InputFile& file : files) {
        const std::string problem = WindowsFileNameProblem(file.name);
        if (!problem.empty())
            return StringFormat("the input file '%s' cannot be installed: its name %s", file.path.c_str(),
                                problem.c_str());
    }
    return {};
}

std::string FindDuplicateNames(const std::vector<InputFile>& files, bool caseSensitive) {
    std::map<std::string, const InputFile*> seen;
    for (const InputFile& file : files) {
        const auto [where, added] = seen.emplace(FileNameKey(file.name, caseSensitive), &file);
        if (!added)
            return StringFormat(
                "duplicate file name: '%s' and '%s' would both install as '%s' (--allow-duplicates stores both)",
                where->second->path.c_str(), file.path.c_str(), file.name.c_str());
    }
    return {};
}

bool NativeNamesCaseSensitive() { return kNativePathStyle == PathStyle::Posix; }

} // namespace zorpack
