#include "common/system_info.h"

#include "common/environment.h"
#include "common/last_error_posix.h"

#include <cerrno>
#include <climits>
#include <sys/random.h>
#include <unistd.h>

namespace {

std::string WithSeparator(std::string directory) {
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

} // namespace

std::string GetModulePath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) {
        SetLastErrorFromErrno(length < 0 ? errno : ENAMETOOLONG);
        return {};
    }
    return std::string(path, static_cast<std::size_t>(length));
}

std::string GetTempDirectory() {
    const std::string fromEnvironment = GetEnvironmentValue("TMPDIR");
    return WithSeparator(fromEnvironment.empty() ? "/tmp" : fromEnvironment);
}

std::string GetTempFilePath(const char* prefix) {
    std::string name = prefix ? std::string(prefix).substr(0, 3) : std::string();
    return GetTempDirectory() + name + "1.tmp";
}

std::string GetCurrentDirectoryPath() {
    char path[PATH_MAX];
    if (::getcwd(path, sizeof path) == nullptr) return {};
    return path;
}

std::string GetComputerNameString() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

unsigned CurrentProcessId() { return static_cast<unsigned>(::getpid()); }

bool GetRandomBytes(void* buffer, std::size_t count) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (count != 0) {
        const ssize_t got = ::getrandom(bytes, count, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            SetLastErrorFromErrno(errno);
            return false;
        }
        bytes += got;
        count -= static_cast<std::size_t>(got);
    }
    return true;
}
