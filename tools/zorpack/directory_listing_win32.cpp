#include "tools/zorpack/directory_listing.h"

#include "common/windows_api.h"

#include <cstring>

namespace zorpack {

bool ListDirectory(const std::string& directory, std::vector<std::string>& names, std::string& error) {
    names.clear();
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(ChildPath(directory, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        error = DirectoryReadError(directory);
        return false;
    }
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0)
            names.emplace_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    const DWORD failure = ::GetLastError();
    ::FindClose(search);
    if (failure == ERROR_NO_MORE_FILES) return true;
    ::SetLastError(failure);
    error = DirectoryReadError(directory);
    return false;
}

} // namespace zorpack
