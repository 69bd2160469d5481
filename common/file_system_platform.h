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

// Calls visit with each name in directory, "." and ".." left out, in the
// order the file system gives them. False with the last error set when the
// directory cannot be opened or reading it fails part-way. (A plain function
// and its context keep the installer stub, which only counts, free of any
// container code.)
bool VisitDirectory(const std::string& directory, void (*visit)(const char* name, void* context), void* context);

} // namespace file_system_platform
