// The files a build puts into an installer: wildcards and list files
// expanded, each file examined and every name checked before anything is
// written.
#pragma once

#include "archive/archive_format.h"
#include "common/file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

struct InputFile {
    std::string path; // as given (below a given directory: its path, then the names below it),
                      // with "/" turned into "\" on Windows
    std::string name; // the name the installer creates: a file's file-name part; for a file
                      // below a given directory, its relative name joined by "\" (input_tree.h)
    std::uint64_t size = 0;
    FileIdentity identity;
    FileTime lastWrite; // as the directory lookup found it
};

// The paths of given with each "@list" replaced by the lines of the file
// list, and (on Windows, where no shell does it) each name with "*" or "?"
// replaced by the files it matches, in order. A list holds one path per line
// (CR LF or LF): a UTF-8 byte-order mark at its start is skipped, blank lines
// and lines starting with "#" are ignored, blanks at the end of a line are
// cut, and a line is taken as it stands otherwise ("@" inside a list names a
// file). False with a one-line error when a list cannot be read or a
// wildcard matches no file.
bool ExpandInputList(const std::vector<std::string>& given, std::vector<std::string>& paths, std::string& error);

// Looks each path up (without opening it): its size and identity. A
// directory stands for the files below it, in their order and under the
// names input_tree.h describes. False with a one-line error naming the first
// path that is missing, is not a plain file (a device, FIFO or socket) or is
// too large for an installer, or why a directory could not be read.
bool ExamineInputFiles(const std::vector<std::string>& paths, std::vector<InputFile>& files, std::string& error);

// Empty when every name can be an entry of an installer (entry_name.h):
// each file's own name is one acceptable name and its whole stored name an
// acceptable relative name, within the length limit; otherwise a one-line
// error naming the first file whose name cannot.
std::string CheckFileNames(const std::vector<InputFile>& files);

// Empty when no file would install where another file needs a folder
// ("doc" beside "Doc\guide.txt"; letter case ignored as on Windows, where
// one name cannot be both); otherwise a one-line error naming the two.
// Unlike a duplicate, such an installer could not be installed at all.
std::string FindFileFolderClash(const std::vector<InputFile>& files);

// Empty when no two files share a name (the whole relative name: files of
// one name in different folders are fine), letter case ignored as on
// Windows, where the installer creates them; otherwise a one-line error naming the
// first two files that do.
std::string FindDuplicateNames(const std::vector<InputFile>& files);

// Empty when no file would install as uninstall.exe at the top of the
// installation directory (letter case ignored), where an installer with an
// uninstaller writes its own, nor, with a carried uninstaller (signed at
// build time), as the uninstall.dat it writes beside it; otherwise a
// one-line error naming the first.
std::string FindUninstallerClash(const std::vector<InputFile>& files, bool carried);

} // namespace zorpack
