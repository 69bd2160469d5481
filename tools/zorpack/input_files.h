// The files a build puts into an installer: list files expanded, sizes read,
// and names checked before anything is written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

// Files of 4 GiB or more cannot be described: sizes in the archive are 32-bit.
inline constexpr std::uint64_t kMaxInputSize = 0xFFFFFFFFu;

struct InputFile {
    std::string path; // as given, with "/" turned into "\" on Windows
    std::string name; // the file-name part, the name the installer creates
    std::uint64_t size = 0;
};

// The paths of given with each "@list" replaced by the lines of the file
// list, in order. A list holds one path per line (CR LF or LF); blank lines
// are skipped and a line is taken as it stands otherwise, so "@" inside a list
// names a file. False with a one-line error when a list cannot be read.
bool ExpandInputList(const std::vector<std::string>& given, std::vector<std::string>& paths, std::string& error);

// Opens each path for its size. False with a one-line error naming the first
// file that cannot be read or is too large.
bool ExamineInputFiles(const std::vector<std::string>& paths, std::vector<InputFile>& files, std::string& error);

// Empty when every name can be created on Windows; otherwise a one-line
// error naming the first file whose name cannot.
std::string CheckFileNames(const std::vector<InputFile>& files);

// Empty when no two files share a name (compared as FileNameKey does);
// otherwise a one-line error naming the first two files that do.
std::string FindDuplicateNames(const std::vector<InputFile>& files, bool caseSensitive);

// Whether file names are case-sensitive where this zorpack runs.
bool NativeNamesCaseSensitive();

} // namespace zorpack
