#include "common/environment.h"
#include "common/environment_platform.h"
#include "common/windows_api.h"

#include <vector>

namespace environment_platform {

bool ReadVariable(const char* name, std::size_t bufferSize, std::string& value) {
    std::vector<char> buffer(bufferSize);
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableA(name, buffer.data(), static_cast<DWORD>(buffer.size()));
    // 0 with an error: not set; a length of at least the buffer: too long.
    if ((length == 0 && ::GetLastError() != ERROR_SUCCESS) || length >= buffer.size()) return false;
    value.assign(buffer.data(), length);
    return true;
}

} // namespace environment_platform

bool SetEnvironmentValue(const char* name, const char* value) {
    return name != nullptr && ::SetEnvironmentVariableA(name, value) != FALSE;
}
