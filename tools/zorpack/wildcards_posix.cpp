#include "tools/zorpack/wildcards.h"

namespace zorpack {

bool ExpandWildcards(const std::string& pattern, std::vector<std::string>& paths, std::string&) {
    paths.push_back(pattern);
    return true;
}

} // namespace zorpack
