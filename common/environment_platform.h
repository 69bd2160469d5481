// Per-platform primitive behind environment.h.
#pragma once

#include <cstddef>
#include <string>

namespace environment_platform {

// The value of variable name when it is set and shorter than bufferSize
// characters (the room a fixed buffer with its terminator would give).
bool ReadVariable(const char* name, std::size_t bufferSize, std::string& value);

} // namespace environment_platform
