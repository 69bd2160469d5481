// File names with wildcards on the command line. A POSIX shell expands them
// before zorpack starts; on Windows the program does it, as Windows tools do.
#pragma once

#include <string>
#include <vector>

namespace zorpack {

// Appends to paths the files that pattern names. On POSIX, and for a pattern
// without "*" or "?", that is pattern itself (a name Windows files cannot
// hold is no wildcard to them). On Windows a "*" or "?" in the file-name
// part matches files (never directories) of the directory the pattern names,
// appended in name order with that directory in front. False with a one-line
// error when nothing matches.
bool ExpandWildcards(const std::string& pattern, std::vector<std::string>& paths, std::string& error);

} // namespace zorpack
