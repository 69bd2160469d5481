#include "common/interrupt_cleanup.h"

#include <csignal>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Runs once per signal: the default action is back in place before the
// signal is raised again, so the process ends as it would have.
void OnInterrupt(int signal) {
    interrupt_cleanup_detail::RemoveRegisteredFiles();
    ::raise(signal);
}

} // namespace

namespace interrupt_cleanup_detail {

void RemoveFileNow(const char* path) { ::unlink(path); }

} // namespace interrupt_cleanup_detail

void RemoveFilesOnInterrupt() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals) sigaddset(&action.sa_mask, signal);
    for (int signal : kSignals) {
        struct sigaction previous;
        // A signal the caller's parent ignores (a background job's SIGINT)
        // stays ignored.
        if (::sigaction(signal, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN) continue;
        ::sigaction(signal, &action, nullptr);
    }
}
