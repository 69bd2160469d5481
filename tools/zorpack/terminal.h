// Whether the standard output is a terminal, where a progress line that
// rewrites itself is readable (in a file or pipe it would be noise).
#pragma once

namespace zorpack {

bool StdoutIsTerminal();

} // namespace zorpack
