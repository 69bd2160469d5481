// Ctrl-C as a request to end: the handler only records it, and the
// receiving loop ends at its next look (receiver.h), so that the program
// leaves through its normal path and can reset the terminal on the way.
//
// POSIX: SIGINT and SIGTERM, unless the process was started with them
// ignored (a background job of a shell script keeps ignoring its SIGINT).
// A second SIGINT (or SIGTERM) ends the process at once, as it would have
// without the handler, in case the program is stuck writing to a blocked
// output. SIGPIPE is ignored: a closed output is reported as a write error.
//
// Windows: the console's Ctrl-C and Ctrl-Break events (Ctrl-C handling is
// switched on, since a process started in a new process group begins with
// it off). A second one, and the close, log-off and shut-down events, go to
// the system's default handling, which ends the process.
#pragma once

namespace zorlog_console {

// Installs the handlers once; later calls do nothing.
void InstallInterruptHandler();

// True once an interrupt has arrived. Any thread may ask.
bool InterruptRequested();

} // namespace zorlog_console
