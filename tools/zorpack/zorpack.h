// The zorpack program, apart from the process it runs in.
#pragma once

#include "tools/zorpack/console.h"

#include <string>
#include <vector>

namespace zorpack {

// Runs the command line (without the program name) and returns the exit
// code. This is the program's top level: a FileException raised by the file
// layer (an operating-system read or write failure) ends here as one error
// line and exit code 1.
int Run(const std::vector<std::string>& arguments, Console& console);

} // namespace zorpack
