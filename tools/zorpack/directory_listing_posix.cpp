#include "tools/zorpack/directory_listing.h"

#include "common/last_error_posix.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace zorpack {

bool ListDirectory(const std::string& directory, std::vector<std::string>& names, std::string& error) {
    names.clear();
    DIR* stream = ::opendir(directory.c_str());
    if (stream == nullptr) {
        SetLastErrorFromErrno(errno);
        error = DirectoryReadError(directory);
        return false;
    }
    // readdir returns null at the end and on a failure alike: errno tells them apart.
    errno = 0;
    while (const dirent* entry = ::readdir(stream)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    const int failure = errno;
    ::closedir(stream);
    if (failure == 0) return true;
    SetLastErrorFromErrno(failure);
    error = DirectoryReadError(directory);
    return false;
}

} // namespace zorpack
