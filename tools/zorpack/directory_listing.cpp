#include "tools/zorpack/directory_listing.h"

#include "common/error_texts.h"
#include "common/path.h"
#include "common/string_format.h"

namespace zorpack {

std::string DirectoryReadError(const std::string& directory) {
    return StringFormat("cannot read the directory '%s': %s", directory.c_str(), LastErrorText());
}

std::string ChildPath(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == PathSeparator()) return directory + name;
    return directory + PathSeparator() + name;
}

} // namespace zorpack
