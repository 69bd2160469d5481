#include "common/interrupt_cleanup.h"

#include "common/windows_api.h"

namespace {

// Runs on a thread of its own while the main thread goes on. The files were
// opened with delete sharing, so deleting them now succeeds; they vanish when
// the process ends. Returning FALSE lets the default handler end the process.
BOOL WINAPI OnConsoleEvent(DWORD) {
    interrupt_cleanup_detail::RemoveRegisteredFiles();
    return FALSE;
}

} // namespace

namespace interrupt_cleanup_detail {

void RemoveFileNow(const char* path) { ::DeleteFileA(path); }

} // namespace interrupt_cleanup_detail

void RemoveFilesOnInterrupt() { ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE); }
