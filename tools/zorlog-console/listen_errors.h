// Why binding the listening socket failed, in words a user can act on.
#pragma once

#include <string>

namespace zorlog_console {

enum class BindFailure {
    AddressInUse,    // another program listens on the port
    AddressNotLocal, // the address belongs to no interface of this computer
    AccessDenied,    // the port is reserved (below 1024 on POSIX) or blocked
    Other
};

// Sorts a socket-layer error code of a failed bind (platform file).
BindFailure ClassifyBindError(int code);

// "cannot listen on <address>:<port>: <reason>" with the system's sentence
// for code appended.
std::string BindErrorMessage(const std::string& address, unsigned port, int code);

} // namespace zorlog_console
