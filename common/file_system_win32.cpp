#include "common/file_system.h"
#include "common/file_system_platform.h"
#include "common/windows_api.h"

#include <string_view>

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
    info.isRegular = (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    info.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    const auto time = [](const FILETIME& t) { return FileTime{t.dwLowDateTime, t.dwHighDateTime}; };
    info.times = {time(data.ftCreationTime), time(data.ftLastAccessTime), time(data.ftLastWriteTime)};
    return true;
}

bool MakeDirectory(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE; }

bool VisitDirectory(const std::string& directory, void (*visit)(const char* name, void* context), void* context) {
    // ChildPath(directory, "*"), spelt out: the installer stub, which counts
    // entries, has no other use for it.
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::string_view name = found.cFileName;
        if (name != "." && name != "..") visit(found.cFileName, context);
    } while (::FindNextFileA(search, &found));
    const DWORD failure = ::GetLastError();
    ::FindClose(search);
    if (failure == ERROR_NO_MORE_FILES) return true;
    ::SetLastError(failure);
    return false;
}

} // namespace file_system_platform

bool GetFileIdentity(const std::string& path, FileIdentity& identity) {
    // No access asked: the handle only reads the file's information, and
    // backup semantics let it name a directory too.
    HANDLE handle = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION information;
    const bool known = ::GetFileInformationByHandle(handle, &information) != FALSE;
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    if (!known) {
        ::SetLastError(error);
        return false;
    }
    identity = {information.dwVolumeSerialNumber,
                (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
    return true;
}

bool MoveFileReplacing(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), 0) != FALSE;
}

bool DeleteFileAt(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

bool RemoveEmptyDirectory(const std::string& path) { return ::RemoveDirectoryA(path.c_str()) != FALSE; }

bool DirectoryExists(const std::string& path) {
    if (path.empty()) return false;
    if (path.size() < 4) {
        const UINT type = ::GetDriveTypeA(path.c_str());
        return type != DRIVE_UNKNOWN && type != DRIVE_NO_ROOT_DIR;
    }
    FileDetails info;
    return file_system_platform::FindFileInfo(path, info) && info.isDirectory;
}
