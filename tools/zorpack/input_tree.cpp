#include "tools/zorpack/input_tree.h"

#include "archive/entry_name.h"
#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/string_format.h"

#include <algorithm>

namespace zorpack {

namespace {

// "cannot read the directory '<directory>': <the last error's text>".
std::string DirectoryReadError(const std::string& directory) {
    return StringFormat("cannot read the directory '%s': %s", directory.c_str(), LastErrorText());
}

// A directory being read, from the given one down to the current one.
struct OpenDirectory {
    FileIdentity identity;
    std::string path;
};

class TreeWalk {
public:
    TreeWalk(std::vector<TreeFile>& found, std::string& error) : found_(found), error_(error) {}

    // Reads the directory at path, whose files are stored under prefix (none
    // when empty), and everything below it.
    bool Walk(const std::string& path, const std::string& prefix) {
        FileIdentity identity;
        if (!GetFileIdentity(path, identity)) {
            error_ = DirectoryReadError(path);
            return false;
        }
        for (const OpenDirectory& open : open_) {
            if (open.identity == identity) {
                error_ = StringFormat("the directory '%s' is '%s' again, which contains it: a link makes a cycle",
                                      path.c_str(), open.path.c_str());
                return false;
            }
        }
        std::vector<std::string> names;
        if (!ListDirectory(path, names)) {
            error_ = DirectoryReadError(path);
            return false;
        }
        std::sort(names.begin(), names.end());

        open_.push_back({identity, path});
        std::vector<std::string> folders;
        for (const std::string& name : names) {
            TreeFile file{ChildPath(path, name), Join(prefix, name), {}};
            if (!GetFileDetails(file.path, file.details)) {
                error_ = StringFormat("cannot read the input file '%s': %s", file.path.c_str(), LastErrorText());
                return false;
            }
            if (file.details.isDirectory)
                folders.push_back(name);
            else
                found_.push_back(std::move(file));
        }
        for (const std::string& name : folders) {
            const std::string folder = ChildPath(path, name);
            if (const std::string problem = EntryNameProblem(name); !problem.empty()) {
                error_ = StringFormat("the directory '%s' cannot be installed: its name %s", folder.c_str(),
                                      problem.c_str());
                return false;
            }
            if (!Walk(folder, Join(prefix, name))) return false;
        }
        open_.pop_back();
        return true;
    }

private:
    static std::string Join(const std::string& prefix, const std::string& name) {
        return prefix.empty() ? name : prefix + kEntrySeparator + name;
    }

    std::vector<TreeFile>& found_;
    std::string& error_;
    std::vector<OpenDirectory> open_;
};

} // namespace

bool NamesDirectoryContent(const std::string& path) { return !path.empty() && path.back() == PathSeparator(); }

std::string WithoutEndSeparators(std::string path) {
    const std::size_t root = kNativePathStyle == PathStyle::Windows && path.size() >= 2 && path[1] == ':' ? 3 : 1;
    while (path.size() > root && path.back() == PathSeparator()) path.pop_back();
    return path;
}

bool ListTreeFiles(const std::string& path, std::vector<TreeFile>& found, std::string& error) {
    std::string prefix;
    if (!NamesDirectoryContent(path)) {
        prefix = GetPathPart(path, kPathFileName);
        if (const std::string problem = EntryNameProblem(prefix); !problem.empty()) {
            error = StringFormat("the directory '%s' has no name to store its files under ('%s' %s); name it "
                                 "'%s%c' to store what it holds",
                                 path.c_str(), prefix.c_str(), problem.c_str(), path.c_str(), PathSeparator());
            return false;
        }
    }
    TreeWalk walk(found, error);
    return walk.Walk(WithoutEndSeparators(path), prefix);
}

} // namespace zorpack
