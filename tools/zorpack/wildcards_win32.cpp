#include "tools/zorpack/wildcards.h"

#include "common/path.h"
#include "common/windows_api.h"

#include <algorithm>

namespace zorpack {

bool ExpandWildcards(const std::string& pattern, std::vector<std::string>& paths, std::string& error) {
    const std::string name = GetPathPart(pattern, kPathFileName);
    if (name.find_first_of("*?") == std::string::npos) {
        paths.push_back(pattern);
        return true;
    }
    // The directory part as written, separator included, goes before each match.
    const std::string directory = pattern.substr(0, pattern.size() - name.size());
    std::vector<std::string> matches;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                matches.push_back(directory + found.cFileName);
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    if (matches.empty()) {
        error = "no file matches '" + pattern + "'";
        return false;
    }
    std::sort(matches.begin(), matches.end());
    paths.insert(paths.end(), matches.begin(), matches.end());
    return true;
}

} // namespace zorpack
