#include "common/system_info.h"
#include "common/windows_api.h"

#include <bcrypt.h>

#include <algorithm>

namespace {

constexpr DWORD kPathBuffer = MAX_PATH + 1;

} // namespace

std::string GetModulePath() {
    char path[kPathBuffer];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, kPathBuffer);
    if (length == 0 || length >= kPathBuffer) return {};
    return std::string(path, length);
}

std::string GetTempDirectory() {
    char path[kPathBuffer];
    const DWORD length = ::GetTempPathA(kPathBuffer, path);
    if (length == 0 || length >= kPathBuffer) return {};
    return std::string(path, length);
}

std::string GetTempFilePath(const char* prefix) {
    const std::string directory = GetTempDirectory();
    char path[kPathBuffer];
    if (directory.empty() || ::GetTempFileNameA(directory.c_str(), prefix ? prefix : "", 1, path) == 0) return {};
    return path;
}

std::string GetCurrentDirectoryPath() {
    char path[kPathBuffer];
    const DWORD length = ::GetCurrentDirectoryA(kPathBuffer, path);
    if (length == 0 || length >= kPathBuffer) return {};
    return std::string(path, length);
}

std::string GetComputerNameString() {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = sizeof name;
    if (!::GetComputerNameA(name, &length)) return {};
    return std::string(name, length);
}

unsigned CurrentProcessId() { return ::GetCurrentProcessId(); }

bool GetRandomBytes(void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (count != 0) {
        const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(count, 1u << 20));
        if (::BCryptGenRandom(nullptr, bytes, piece, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
            ::SetLastError(ERROR_GEN_FAILURE);
            return false;
        }
        bytes += piece;
        count -= piece;
    }
    return true;
}
