#include "tools/zorlog-console/interrupt.h"

#include "common/windows_api.h"

#include <atomic>

namespace zorlog_console {

namespace {

std::atomic<bool> interrupted{false};

// Runs on a thread of its own while the main thread goes on receiving.
// TRUE: handled, the process goes on until the loop sees the request.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    return interrupted.exchange(true) ? FALSE : TRUE;
}

} // namespace

void InstallInterruptHandler() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool InterruptRequested() { return interrupted.load(); }

} // namespace zorlog_console
