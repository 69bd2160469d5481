#include "tools/zorpack/terminal.h"

#include <unistd.h>

namespace zorpack {

bool StdoutIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

} // namespace zorpack
