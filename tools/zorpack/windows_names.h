// What Windows accepts as the name of one file, checked on any platform: the
// archive stores bare file names that the installer creates on Windows.
#pragma once

#include <string>
#include <string_view>

namespace zorpack {

// Empty when name can be a Windows file name; otherwise why it cannot
// ("contains ':'", "is a device name", ...). A name holds no directory part.
std::string WindowsFileNameProblem(std::string_view name);

// A key under which two file names are equal exactly when they name the same
// file: Windows ignores the case of letters, POSIX systems (caseSensitive) do not.
std::string FileNameKey(std::string_view name, bool caseSensitive);

} // namespace zorpack
