#include "tools/zorlog-console/listen_errors.h"

#include <cerrno>

namespace zorlog_console {

BindFailure ClassifyBindError(int code) {
    switch (code) {
    case EADDRINUSE:
        return BindFailure::AddressInUse;
    case EADDRNOTAVAIL:
        return BindFailure::AddressNotLocal;
    case EACCES:
    case EPERM:
        return BindFailure::AccessDenied;
    default:
        return BindFailure::Other;
    }
}

} // namespace zorlog_console
