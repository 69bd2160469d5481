#include "tools/zorlog-console/listen_errors.h"

#include "common/windows_api.h"

#include <winsock.h>

namespace zorlog_console {

BindFailure ClassifyBindError(int code) {
    switch (code) {
    case WSAEADDRINUSE:
        return BindFailure::AddressInUse;
    case WSAEADDRNOTAVAIL:
        return BindFailure::AddressNotLocal;
    case WSAEACCES:
        return BindFailure::AccessDenied;
    default:
        return BindFailure::Other;
    }
}

} // namespace zorlog_console
