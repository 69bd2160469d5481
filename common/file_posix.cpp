#include "common/file_platform.h"
#include "common/file_time_posix.h"
#include "common/last_error.h"
#include "common/last_error_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file_platform {
namespace {

int Descriptor(Handle handle) { return static_cast<int>(handle); }

constexpr int kAccessFlags[] = {O_RDONLY, O_WRONLY, O_RDWR};
constexpr int kCreationFlags[] = {0, O_CREAT, O_CREAT, O_CREAT | O_EXCL | O_NOFOLLOW};
constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};

bool Fail() {
    SetLastErrorFromErrno(errno);
    return false;
}

// ENOENT stands for both "no such file" and "no such directory on the way";
// Windows tells them apart.
std::uint32_t OpenErrorCode(const std::string& path, int err) {
    if (err != ENOENT) return Win32ErrorFromErrno(err);
    const std::size_t slash = path.rfind('/');
    const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat info;
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? kErrorFileNotFound : kErrorPathNotFound;
}

bool ValidHandle(Handle handle) {
    if (handle >= 0) return true;
    SetLastErrorCode(kErrorInvalidHandle);
    return false;
}

} // namespace

Handle Open(const std::string& path, FileAccess access, FileCreation creation, FileShare share) {
    int flags = kAccessFlags[static_cast<int>(access)] | kCreationFlags[static_cast<int>(creation)] | O_CLOEXEC;
    // Opening a FIFO for reading would wait for a writer; with O_NONBLOCK it
    // returns at once (and its reads fail). Regular files ignore the flag.
    if (access == FileAccess::Read) flags |= O_NONBLOCK;
    const mode_t mode = creation == FileCreation::CreateNew ? 0600 : 0666;
    int fd;
    // A file that did not exist needs no truncating: try creating it first
    // (an extraction creates thousands of new files).
    bool created = false;
    if (creation == FileCreation::CreateAlways) {
        do fd = ::open(path.c_str(), flags | O_EXCL, mode);
        while (fd < 0 && errno == EINTR);
        created = fd >= 0;
    }
    if (!created) {
        do fd = ::open(path.c_str(), flags, mode);
        while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) {
        SetLastErrorCode(OpenErrorCode(path, errno));
        return kInvalidHandle;
    }
    const auto refuse = [fd](std::uint32_t code) {
        ::close(fd);
        SetLastErrorCode(code);
        return kInvalidHandle;
    };
    // Windows refuses to open a directory as a file; so does this stand-in.
    // (Opening one for writing already fails with EISDIR.)
    struct stat info;
    if (access == FileAccess::Read && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode))
        return refuse(kErrorAccessDenied);

    // Exclusive opens are kept apart from every other open of this layer with
    // an advisory lock, taken before truncating: a file being read cannot be
    // emptied by an exclusive create of the same path. The finer share modes
    // are not enforced here.
    if (::flock(fd, (share == FileShare::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0)
        return refuse(kErrorSharingViolation);
    if (creation == FileCreation::CreateAlways && !created && ::ftruncate(fd, 0) != 0) {
        const int err = errno;
        return refuse(Win32ErrorFromErrno(err));
    }
    return fd;
}

bool Read(Handle handle, void* buffer, std::size_t count, std::size_t& transferred) {
    if (!ValidHandle(handle)) return false;
    ssize_t got;
    do got = ::read(Descriptor(handle), buffer, count);
    while (got < 0 && errno == EINTR);
    if (got < 0) return Fail();
    transferred = static_cast<std::size_t>(got);
    return true;
}

bool Write(Handle handle, const void* data, std::size_t count, std::size_t& transferred) {
    if (!ValidHandle(handle)) return false;
    ssize_t put;
    do put = ::write(Descriptor(handle), data, count);
    while (put < 0 && errno == EINTR);
    if (put < 0) return Fail();
    transferred = static_cast<std::size_t>(put);
    return true;
}

bool Seek(Handle handle, std::int64_t offset, SeekOrigin origin, std::uint64_t& position) {
    if (!ValidHandle(handle)) return false;
    off_t result = ::lseek(Descriptor(handle), static_cast<off_t>(offset), kWhence[static_cast<int>(origin)]);
    if (result < 0) {
        // A position before the start of the file is the Win32 "negative seek".
        if (errno == EINVAL) {
            SetLastErrorCode(kErrorNegativeSeek);
            return false;
        }
        return Fail();
    }
    position = static_cast<std::uint64_t>(result);
    return true;
}

bool Length(Handle handle, std::uint64_t& length) {
    if (!ValidHandle(handle)) return false;
    struct stat info;
    if (::fstat(Descriptor(handle), &info) != 0) return Fail();
    length = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool GetTimes(Handle handle, FileTimes& times) {
    if (!ValidHandle(handle)) return false;
    struct stat info;
    if (::fstat(Descriptor(handle), &info) != 0) return Fail();
    // Linux keeps no creation time that can be set; the last-write time stands in.
    times.creation = FileTimeFromTimespec(info.st_mtim);
    times.lastAccess = FileTimeFromTimespec(info.st_atim);
    times.lastWrite = FileTimeFromTimespec(info.st_mtim);
    return true;
}

bool SetTimes(Handle handle, const FileTime*, const FileTime* lastAccess, const FileTime* lastWrite) {
    if (!ValidHandle(handle)) return false;
    timespec values[2];
    values[0] = lastAccess ? TimespecFromFileTime(*lastAccess) : timespec{0, UTIME_OMIT};
    values[1] = lastWrite ? TimespecFromFileTime(*lastWrite) : timespec{0, UTIME_OMIT};
    if (::futimens(Descriptor(handle), values) != 0) return Fail();
    return true;
}

bool IsRegular(Handle handle) {
    struct stat info;
    return ValidHandle(handle) && ::fstat(Descriptor(handle), &info) == 0 && S_ISREG(info.st_mode);
}

bool Identity(Handle handle, FileIdentity& identity) {
    if (!ValidHandle(handle)) return false;
    struct stat info;
    if (::fstat(Descriptor(handle), &info) != 0) return Fail();
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return true;
}

bool GrantDefaultAccess(Handle handle) {
    if (!ValidHandle(handle)) return false;
    // The umask can only be read by setting it; zorpack reads it on one thread.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(Descriptor(handle), 0666 & ~mask) != 0) return Fail();
    return true;
}

void Close(Handle handle) { ::close(Descriptor(handle)); }

} // namespace file_platform
