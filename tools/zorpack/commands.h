// The four commands. Each returns the process exit code and writes its
// failure, if any, as one line to the console's err.
#pragma once

#include "tools/zorpack/command_line.h"
#include "tools/zorpack/console.h"

namespace zorpack {

int RunBuild(const Request& request, Console& console);
int RunList(const Request& request, Console& console);
int RunVerify(const Request& request, Console& console);
int RunExtract(const Request& request, Console& console);

} // namespace zorpack
