#include "common/file_platform.h"
#include "common/windows_api.h"

namespace file_platform {
namespace {

HANDLE ToHandle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
constexpr DWORD kShare[] = {0, FILE_SHARE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE};
constexpr DWORD kCreation[] = {OPEN_EXISTING, CREATE_ALWAYS, OPEN_ALWAYS, CREATE_NEW};
constexpr DWORD kSeekMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};

FILETIME* ToWin32(const FileTime* time, FILETIME& storage) {
    if (time == nullptr) return nullptr;
    storage = {time->lowDateTime, time->highDateTime};
    return &storage;
}

} // namespace

Handle Open(const std::string& path, FileAccess access, FileCreation creation, FileShare share) {
    DWORD shareMode = kShare[static_cast<int>(share)];
    // A new private file may be deleted while open: the console interrupt
    // handler removes it from another thread.
    if (creation == FileCreation::CreateNew) shareMode |= FILE_SHARE_DELETE;
    HANDLE handle = ::CreateFileA(path.c_str(), kAccess[static_cast<int>(access)], shareMode, nullptr,
                                  kCreation[static_cast<int>(creation)], FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return kInvalidHandle;
    // OPEN_ALWAYS and CREATE_ALWAYS leave ERROR_ALREADY_EXISTS behind on success.
    ::SetLastError(ERROR_SUCCESS);
    return reinterpret_cast<Handle>(handle);
}

bool Read(Handle handle, void* buffer, std::size_t count, std::size_t& transferred) {
    DWORD got = 0;
    BOOL ok = ::ReadFile(ToHandle(handle), buffer, static_cast<DWORD>(count), &got, nullptr);
    transferred = got;
    return ok != FALSE;
}

bool Write(Handle handle, const void* data, std::size_t count, std::size_t& transferred) {
    DWORD put = 0;
    BOOL ok = ::WriteFile(ToHandle(handle), data, static_cast<DWORD>(count), &put, nullptr);
    transferred = put;
    return ok != FALSE;
}

bool Seek(Handle handle, std::int64_t offset, SeekOrigin origin, std::uint64_t& position) {
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    if (!::SetFilePointerEx(ToHandle(handle), distance, &result, kSeekMethod[static_cast<int>(origin)])) return false;
    position = static_cast<std::uint64_t>(result.QuadPart);
    return true;
}

bool Length(Handle handle, std::uint64_t& length) {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(ToHandle(handle), &size)) return false;
    length = static_cast<std::uint64_t>(size.QuadPart);
    return true;
}

bool GetTimes(Handle handle, FileTimes& times) {
    FILETIME creation, access, write;
    if (!::GetFileTime(ToHandle(handle), &creation, &access, &write)) return false;
    times.creation = {creation.dwLowDateTime, creation.dwHighDateTime};
    times.lastAccess = {access.dwLowDateTime, access.dwHighDateTime};
    times.lastWrite = {write.dwLowDateTime, write.dwHighDateTime};
    return true;
}

bool SetTimes(Handle handle, const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite) {
    FILETIME c, a, w;
    return ::SetFileTime(ToHandle(handle), ToWin32(creation, c), ToWin32(lastAccess, a), ToWin32(lastWrite, w)) !=
           FALSE;
}

bool IsRegular(Handle handle) {
    BY_HANDLE_FILE_INFORMATION information;
    return ::GetFileType(ToHandle(handle)) == FILE_TYPE_DISK &&
           ::GetFileInformationByHandle(ToHandle(handle), &information) &&
           (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Identity(Handle handle, FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(ToHandle(handle), &information)) return false;
    identity = {information.dwVolumeSerialNumber,
                (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
    return true;
}

bool GrantDefaultAccess(Handle) { return true; }

void Close(Handle handle) { ::CloseHandle(ToHandle(handle)); }

} // namespace file_platform
