#include "common/file_system.h"
#include "common/file_system_platform.h"
#include "common/file_time_posix.h"
#include "common/last_error_posix.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace file_system_platform {

bool FindFileInfo(const std::string& path, FileDetails& info) {
    struct stat status;
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        SetLastErrorFromErrno(path.empty() ? ENOENT : errno);
        return false;
    }
    info.isDirectory = S_ISDIR(status.st_mode);
    info.isRegular = S_ISREG(status.st_mode);
    info.size = static_cast<std::uint64_t>(status.st_size);
    // Linux keeps no creation time that can be set; the last-write time stands in.
    info.times = {FileTimeFromTimespec(status.st_mtim), FileTimeFromTimespec(status.st_atim),
                  FileTimeFromTimespec(status.st_mtim)};
    return true;
}

bool MakeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    SetLastErrorFromErrno(errno);
    return false;
}

bool VisitDirectory(const std::string& directory, void (*visit)(const char* name, void* context), void* context) {
    DIR* stream = ::opendir(directory.c_str());
    if (stream == nullptr) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    // readdir returns null at the end and on a failure alike: errno tells them apart.
    errno = 0;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") visit(entry->d_name, context);
        errno = 0;
    }
    const int failure = errno;
    ::closedir(stream);
    if (failure == 0) return true;
    SetLastErrorFromErrno(failure);
    return false;
}

} // namespace file_system_platform

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    identity = {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
    return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    SetLastErrorFromErrno(errno);
    return false;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    // rename() would replace to silently; renameat2 refuses. File systems
    // without RENAME_NOREPLACE get the same guarantee from link + unlink.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno == EINVAL || errno == ENOSYS) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return true;
        }
    }
    SetLastErrorFromErrno(errno);
    return false;
}

bool DeleteFileAt(const std::string& path) {
    if (::unlink(path.c_str()) == 0) return true;
    SetLastErrorFromErrno(errno);
    return false;
}

bool RemoveEmptyDirectory(const std::string& path) {
    if (::rmdir(path.c_str()) == 0) return true;
    SetLastErrorFromErrno(errno);
    return false;
}

bool DirectoryExists(const std::string& path) {
    FileDetails info;
    return file_system_platform::FindFileInfo(path, info) && info.isDirectory;
}
