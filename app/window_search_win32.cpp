#include "app/window_search_win32.h"

#include "common/windows_api.h"

#include <psapi.h>

namespace {

// How long a window of another process may take to answer WM_GETTEXT: a hung
// application must not stop the search.
constexpr UINT kTextTimeoutMs = 1000;

// The window's title, at most kWindowTextLimit - 1 characters. Windows of
// other processes may not give their title to GetWindowTextA (Wine answers
// ""), so those are asked with WM_GETTEXT, bounded in time.
std::string ReadTitle(HWND window) {
    char buffer[kWindowTextLimit] = {};
    int length = ::GetWindowTextA(window, buffer, static_cast<int>(sizeof buffer));
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (length <= 0 && processId != ::GetCurrentProcessId()) {
        DWORD_PTR copied = 0;
        buffer[0] = '\0';
        if (::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                                  SMTO_ABORTIFHUNG | SMTO_NORMAL, kTextTimeoutMs, &copied) == 0)
            copied = 0;
        length = static_cast<int>(copied < sizeof buffer ? copied : sizeof buffer - 1);
    }
    if (length < 0) length = 0;
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string ReadClassName(HWND window) {
    char buffer[kWindowTextLimit] = {};
    const int length = ::GetClassNameA(window, buffer, static_cast<int>(sizeof buffer));
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

using Visitor = std::function<bool(const EnumeratedWindow&)>;

BOOL CALLBACK VisitWindow(HWND window, LPARAM data) {
    const Visitor& visit = *reinterpret_cast<const Visitor*>(data);
    EnumeratedWindow entry;
    entry.handle = reinterpret_cast<WindowHandle>(window);
    entry.title = ReadTitle(window);
    entry.className = ReadClassName(window);
    return visit(entry) ? TRUE : FALSE;
}

} // namespace

void Win32WindowSystem::EnumerateTopLevelWindows(const Visitor& visit) {
    ::EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::vector<std::uint32_t> Win32WindowSystem::ProcessIds() {
    std::vector<DWORD> ids(kMaxProcessIds);
    DWORD bytes = 0;
    if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) return {};
    ids.resize(bytes / sizeof(DWORD));
    return std::vector<std::uint32_t>(ids.begin(), ids.end());
}

std::string Win32WindowSystem::ProcessImagePath(std::uint32_t processId) {
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (process == nullptr) return {};
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameExA(process, nullptr, path, static_cast<DWORD>(sizeof path));
    ::CloseHandle(process);
    return std::string(path, length < sizeof path ? length : 0);
}

bool Win32WindowSystem::IsNtPlatform() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    return ::GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
