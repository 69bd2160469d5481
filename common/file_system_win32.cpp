#include "common/file_system.h"
#include "common/file_system_platform.h"
#include "common/windows_api.h"

namespace file_system_platform {

bool FindFileInfo(const std::string& path, FileDetails& info) {
    // A wildcard would let the search report some other file.
    if (path.find_first_of("*?") != std::string::npos) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    WIN32_FIND_DATAA data;
    HANDLE search = ::FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    ::FindClose(search);
    info.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    const auto time = [](const FILETIME& t) { return FileTime{t.dwLowDateTime, t.dwHighDateTime}; };
    info.times = {time(data.ftCreationTime), time(data.ftLastAccessTime), time(data.ftLastWriteTime)};
    return true;
}

bool MakeDirectory(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

} // namespace file_system_platform

bool DirectoryExists(const std::string& path) {
    if (path.empty()) return false;
    if (path.size() < 4) {
        const UINT type = ::GetDriveTypeA(path.c_str());
        return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
    }
    FileDetails info;
    return file_system_platform::FindFileInfo(path, info) && info.isDirectory;
}
