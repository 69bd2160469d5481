#include "tools/zorlog-console/interrupt.h"

#include <csignal>
#include <initializer_list>

namespace zorlog_console {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int) { interrupted = 1; }

} // namespace

void InstallInterruptHandler() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    // No SA_RESTART: the wait for a datagram returns at once, and the loop
    // looks at the request.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction previous;
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
    ::signal(SIGPIPE, SIG_IGN);
}

bool InterruptRequested() { return interrupted != 0; }

} // namespace zorlog_console
