// The text of "zorpack --help".
#pragma once

#include <ostream>

namespace zorpack {

void PrintUsage(std::ostream& out);

} // namespace zorpack
