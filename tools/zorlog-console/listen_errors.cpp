#include "tools/zorlog-console/listen_errors.h"

#include "common/udp_socket.h"

namespace zorlog_console {

std::string BindErrorMessage(const std::string& address, unsigned port, int code) {
    const char* advice = nullptr;
    switch (ClassifyBindError(code)) {
    case BindFailure::AddressInUse:
        advice = "the port is in use by another program; choose another with --port";
        break;
    case BindFailure::AddressNotLocal:
        advice = "the address is not one of this computer's; choose another with --bind";
        break;
    case BindFailure::AccessDenied:
        advice = "the port may not be used here; choose another with --port";
        break;
    case BindFailure::Other:
        break;
    }
    const std::string where = "cannot listen on " + address + ":" + std::to_string(port) + ": ";
    if (advice == nullptr) return where + SocketErrorText(code);
    return where + advice + " (" + SocketErrorText(code) + ")";
}

} // namespace zorlog_console
