#include "common/last_error_posix.h"
#include "common/last_error.h"

#include <cerrno>

namespace {

thread_local std::uint32_t lastError = 0;

struct ErrnoMapping {
    int err;
    std::uint32_t code;
};

constexpr ErrnoMapping kErrnoMappings[] = {
    {0, 0},
    {EPERM, 5},          // access denied
    {ENOENT, 2},         // file not found
    {EIO, 1117},         // I/O device error
    {ENXIO, 21},         // device not ready
    {E2BIG, 206},        // name or extension too long
    {EBADF, 6},          // invalid handle
    {EAGAIN, 33},        // lock violation
    {ENOMEM, 8},         // not enough memory
    {EACCES, 5},         // access denied
    {EFAULT, 487},       // invalid address
    {EBUSY, 32},         // sharing violation
    {EEXIST, 183},       // already exists
    {EXDEV, 17},         // not same device
    {ENODEV, 15},        // invalid drive
    {ENOTDIR, 3},        // path not found
    {EISDIR, 5},         // access denied (Windows cannot open a directory as a file)
    {EINVAL, 87},        // invalid parameter
    {ENFILE, 4},         // too many open files
    {EMFILE, 4},         // too many open files
    {ETXTBSY, 32},       // sharing violation
    {EFBIG, 112},        // not enough space
    {ENOSPC, 112},       // not enough space on the disk
    {ESPIPE, 132},       // seek on a device
    {EROFS, 19},         // write protected
    {EPIPE, 109},        // broken pipe
    {ENAMETOOLONG, 206}, // name too long
    {ENOTEMPTY, 145},    // directory not empty
    {ELOOP, 3},          // path not found (link loop)
    {EDQUOT, 112},       // not enough space (quota)
    {ENOSYS, 50},        // not supported
    {EOPNOTSUPP, 50},    // not supported
};

} // namespace

std::uint32_t GetLastErrorCode() { return lastError; }

void SetLastErrorCode(std::uint32_t code) { lastError = code; }

std::uint32_t Win32ErrorFromErrno(int err) {
    for (const ErrnoMapping& mapping : kErrnoMappings)
        if (mapping.err == err) return mapping.code;
    return 31; // a device attached to the system is not functioning
}

void SetLastErrorFromErrno(int err) { lastError = Win32ErrorFromErrno(err); }
