// Files and directories by path: existence, creation of directory trees,
// times and sizes, copying.
#pragma once

#include "common/file_identity.h"
#include "common/file_time.h"

#include <cstdint>
#include <string>
#include <vector>

// True when path names an existing directory. In the Windows build a path of
// fewer than four characters is taken as a drive ("C:", "C:\") and exists when
// the drive does.
bool DirectoryExists(const std::string& path);

// True when path names an existing file that is not a directory.
bool FileExists(const std::string& path);

// Creates path and every missing parent directory. In the Windows build the
// first component (a drive such as "C:") is never created. A directory that
// another process creates meanwhile counts as created. On failure returns
// false and, when error is given, sets it to
// "!Error: Unable to create directory '<dir>' (<LastErrorText>)" naming the
// directory that could not be created; the directories made before stay.
bool CreateDirectoryTree(const std::string& path, std::string* error = nullptr);

// Variants used by the logging framework: a path that starts with two
// separators (a network path) has its component search start after them, a
// path "\\client" (any case) without a further separator from its tenth
// character on counts as existing, and the error text carries
// FormatLastSystemMessage.
bool DirectoryExistsUnc(const std::string& path);
bool CreateDirectoryTreeUnc(const std::string& path, std::string* error = nullptr);

// What a directory lookup knows of a path (no open): false when nothing is there.
struct FileDetails {
    bool isDirectory = false;
    bool isRegular = false; // a file on a disk: no directory, device, FIFO or socket
    std::uint64_t size = 0;
    FileTimes times;
};
bool GetFileDetails(const std::string& path, FileDetails& details);

// The identity of the file or directory at path (links followed), found
// without opening it for reading or writing; false with the last error set
// when there is none.
bool GetFileIdentity(const std::string& path, FileIdentity& identity);
// True when a and b both name an existing file or directory, and the same
// one however each is spelled (letter case, short names, separators, links).
bool IsSameFile(const std::string& a, const std::string& b);

// Renames from to to, replacing a file at to in one step: whoever opens to
// meanwhile finds either the old file or the new one, never a mixture or
// nothing. Both must be on the same volume. False with the last error set.
bool MoveFileReplacing(const std::string& from, const std::string& to);

// Renames from to to, failing (with kErrorAlreadyExists or kErrorFileExists
// as the last error) when something is already at to: nothing is ever
// replaced. Both must be on the same volume. False with the last error set.
bool MoveFileNoReplace(const std::string& from, const std::string& to);

// Deletes the file at path; false with the last error set.
bool DeleteFileAt(const std::string& path);

// The last-write time of a file in local calendar time; all fields zero and
// false when the file is missing.
bool GetFileLocalTime(const std::string& path, CalendarTime& time);

// The low 32 bits of a file's size; 0 and false when the file is missing.
bool GetFileSizeLow(const std::string& path, std::uint32_t& size);

// Opens an existing file for writing and sets its last-write time to the given
// local time or, without one, all three times to now. On failure error
// receives "Open: %s", "GetFileTime: %s" or "SetFileTime: %s" with LastErrorText.
bool TouchFile(const std::string& path, const CalendarTime* lastWrite = nullptr, std::string* error = nullptr);

// Removes the directory at path when it is empty; false otherwise (the
// reason in the thread's last error), and always for a directory holding
// anything.
bool RemoveEmptyDirectory(const std::string& path);

// Replaces names with the names in directory, "." and ".." left out, in the
// order the file system gives them. False with the last error set when the
// directory cannot be opened or reading it fails part-way; names then holds
// what was read before.
bool ListDirectory(const std::string& directory, std::vector<std::string>& names);

// The number of entries in the directory at path, "." and ".." not counted;
// -1 when it cannot be read.
long CountDirectoryEntries(const std::string& path);

// Copies source into destination (created or truncated) in blocks of 4,096
// bytes. False with the last error set when either cannot be opened or a
// read or write fails; what was copied by then stays at destination.
bool CopyFileContents(const std::string& source, const std::string& destination);
