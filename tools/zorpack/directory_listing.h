// Reading the names a directory holds, for the builder's walk of the
// directories it is given.
#pragma once

#include <string>
#include <vector>

namespace zorpack {

// Replaces names with the names in directory, "." and ".." left out, in the
// order the file system gives them. False with a one-line error naming the
// directory when it cannot be read.
bool ListDirectory(const std::string& directory, std::vector<std::string>& names, std::string& error);

// "cannot read the directory '<directory>': <the last error's text>".
std::string DirectoryReadError(const std::string& directory);

// The path of name inside directory, joined by the platform's separator
// unless directory ends with one. (BuildPath would take a directory of up to
// three characters for a Windows drive and join nothing.)
std::string ChildPath(const std::string& directory, const std::string& name);

} // namespace zorpack
