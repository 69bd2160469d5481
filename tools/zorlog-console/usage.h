// The text of "zorlog-console --help".
#pragma once

#include <string>

namespace zorlog_console {

// "\n" line ends; the writer of standard streams adapts them to the platform.
std::string UsageText();

} // namespace zorlog_console
