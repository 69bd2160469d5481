// Per-platform primitives behind file_system.h.
#pragma once

#include "common/file_time.h"

#include <cstdint>
#include <string>

namespace file_system_platform {

struct FileInfo {
    bool isDirectory = false;
    std::uint64_t size = 0;
    FileTime lastWrite;
};

// What the platform's file search knows of path; false when it finds nothing.
bool FindFileInfo(const std::string& path, FileInfo& info);

// Creates one directory; false with the last error set on failure.
bool MakeDirectory(const std::string& path);

} // namespace file_system_platform
