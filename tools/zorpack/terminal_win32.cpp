#include "tools/zorpack/terminal.h"

#include <cstdio>
#include <io.h>

namespace zorpack {

bool StdoutIsTerminal() { return ::_isatty(::_fileno(stdout)) != 0; }

} // namespace zorpack
