#include "common/environment.h"
#include "common/environment_platform.h"

#include <cstdlib>
#include <cstring>

namespace environment_platform {

bool ReadVariable(const char* name, std::size_t bufferSize, std::string& value) {
    const char* found = std::getenv(name);
    if (found == nullptr) return false;
    const std::size_t length = std::strlen(found);
    if (length >= bufferSize) return false;
    value.assign(found, length);
    return true;
}

} // namespace environment_platform

bool SetEnvironmentValue(const char* name, const char* value) {
    if (name == nullptr) return false;
    return (value ? ::setenv(name, value, 1) : ::unsetenv(name)) == 0;
}
