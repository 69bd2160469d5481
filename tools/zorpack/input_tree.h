// The files below a directory named as a build input, as cp -r and rsync
// read such a name:
//   DIR    (no separator at the end) the directory itself: its files are
//          stored under its own name, "DIR\sub\file";
//   DIR/   (a "/" at the end, on Windows also "\") what it holds: "sub\file".
// Each directory's files come first, then its subdirectories, each group in
// the byte order of the names (UTF-8), so a build of the same tree gives the
// same installer wherever it runs. Empty directories give no entry: an
// archive holds files only. Links are followed like the links a build is
// given directly; a link that leads back into a directory being read (a
// cycle) is refused.
#pragma once

#include "common/file_system.h"

#include <string>
#include <vector>

namespace zorpack {

struct TreeFile {
    std::string path; // the directory's path (WithoutEndSeparators), then the names below it
    std::string name; // the stored name: components joined by "\"
    FileDetails details;
};

// True when path names what a directory holds rather than the directory: it
// ends with a separator of the platform.
bool NamesDirectoryContent(const std::string& path);

// path without the separators at its end, a root ("/", "C:\") kept whole:
// the form a directory is looked up in (Windows finds no "dir\") and the
// files below it are named after.
std::string WithoutEndSeparators(std::string path);

// Appends to found every file (anything that is not a directory) below the
// directory at path. False with a one-line error when the directory cannot
// be stored under its own name ("." or a drive, say), when a directory
// below it has a name no entry may have, when anything below it cannot be
// read, or at a cycle.
bool ListTreeFiles(const std::string& path, std::vector<TreeFile>& found, std::string& error);

} // namespace zorpack
