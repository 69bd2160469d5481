// The calling thread's last operating-system error, as a Win32 error code.
// On Windows this is GetLastError itself; the POSIX stand-ins map errno to the
// Win32 code of the same meaning, so one table of error texts serves both.
#pragma once

#include <cstdint>

std::uint32_t GetLastErrorCode();
void SetLastErrorCode(std::uint32_t code);

// Win32 codes that portable code sets or tests by name.
enum : std::uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorNotEnoughMemory = 8,
    kErrorInvalidData = 13,
    kErrorSharingViolation = 32,
    kErrorFileExists = 80,
    kErrorHandleEof = 38,
    kErrorInvalidParameter = 87,
    kErrorDiskFull = 112,
    kErrorNegativeSeek = 131,
    kErrorAlreadyExists = 183,
    kErrorFilenameTooLong = 206,
    kErrorEnvVarNotFound = 203,
};
