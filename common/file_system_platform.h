// Per-platform primitives behind file_system.h.
#pragma once

#include "common/file_system.h"

#include <cstdint>
#include <string>

namespace file_system_platform {

// What the platform's file search knows of path; false when it finds nothing.
bool FindFileInfo(const std::string& path, FileDetails& info);

// Creates one directory; false with the last error set on failure.
bool MakeDirectory(const std::string& path);

} // namespace file_system_platform
