// Per-platform primitives behind CFile. Each returns false (or the invalid
// handle) with the thread's last error set when the system call fails.
#pragma once

#include "common/file.h"

namespace file_platform {

using Handle = std::intptr_t;
inline constexpr Handle kInvalidHandle = -1;

Handle Open(const std::string& path, FileAccess access, FileCreation creation, FileShare share);
// One read of at most count bytes; transferred is 0 at the end of the file.
bool Read(Handle handle, void* buffer, std::size_t count, std::size_t& transferred);
// One write of at most count bytes.
bool Write(Handle handle, const void* data, std::size_t count, std::size_t& transferred);
bool Seek(Handle handle, std::int64_t offset, SeekOrigin origin, std::uint64_t& position);
bool Length(Handle handle, std::uint64_t& length);
bool GetTimes(Handle handle, FileTimes& times);
bool SetTimes(Handle handle, const FileTime* creation, const FileTime* lastAccess, const FileTime* lastWrite);
bool IsRegular(Handle handle);
bool Identity(Handle handle, FileIdentity& identity);
bool GrantDefaultAccess(Handle handle);
void Close(Handle handle);

} // namespace file_platform
