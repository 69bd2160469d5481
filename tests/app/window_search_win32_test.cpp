// The real window and process enumeration under the window manager: windows
// of this process and of a second process are found by their titles, and
// this program is found among the running processes.
#include "app/window_search_win32.h"
#include "common/string_format.h"
#include "common/system_info.h"
#include "common/windows_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// When this variable is set at start-up, the program is the helper of
// FindsAWindowOfAnotherProcess: it shows one top-level window titled with the
// variable's value, serves it until it is closed and ends without running
// any test.
constexpr char kHelperVariable[] = "ZOR_WINDOW_SEARCH_HELPER_TITLE";
constexpr char kHelperClass[] = "ZorWindowSearchHelper";
constexpr char kTestClass[] = "ZorWindowSearchTest";

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

ATOM RegisterClassNamed(const char* name, WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name;
    return ::RegisterClassA(&windowClass);
}

const bool helperRan = [] {
    const char* title = std::getenv(kHelperVariable);
    if (title == nullptr) return false;
    RegisterClassNamed(kHelperClass, HelperProc);
    const HWND window = ::CreateWindowExA(0, kHelperClass, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) ::ExitProcess(3);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    ::ExitProcess(0);
}();

// A hidden top-level window of this process, destroyed with the object.
class OwnWindow {
public:
    explicit OwnWindow(const std::string& title) {
        // Its destruction must not post a quit message to the test's thread:
        // a later modal window would end at once.
        RegisterClassNamed(kTestClass, ::DefWindowProcA);
        handle_ = ::CreateWindowExA(0, kTestClass, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    }
    ~OwnWindow() {
        if (handle_ != nullptr) ::DestroyWindow(handle_);
    }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(handle_); }

private:
    HWND handle_ = nullptr;
};

std::size_t CountHandle(const WindowSearch& search, WindowHandle handle) {
    std::size_t count = 0;
    for (const FoundWindow& window : search.found) count += window.handle == handle ? 1 : 0;
    return count;
}

TEST(Win32WindowSearch, FindsAHiddenWindowOfThisProcessByItsTitle) {
    const std::string title = StringFormat("ZorInstaller search %u Alpha Beta", CurrentProcessId());
    const OwnWindow window(title);
    ASSERT_NE(window.Handle(), 0u);
    Win32WindowSystem system;

    struct Case {
        std::string list;
        std::size_t expected;
    };
    const Case cases[] = {
        {StringFormat("search %u Alpha", CurrentProcessId()), 1},
        // Found once although the title holds both fragments.
        {StringFormat("Alpha Beta;ZorInstaller search %u", CurrentProcessId()), 1},
        // Case-sensitive.
        {StringFormat("SEARCH %u ALPHA", CurrentProcessId()), 0},
        // The class name is not compared; empty fragments match nothing.
        {std::string(kTestClass) + ";;", 0},
    };
    for (const Case& c : cases) {
        WindowSearch search;
        search.SetWindowList(c.list);
        SearchWindows(system, search);
        EXPECT_EQ(CountHandle(search, window.Handle()), c.expected) << c.list;
        for (const FoundWindow& found : search.found) {
            if (found.handle != window.Handle()) continue;
            EXPECT_EQ(found.title, title);
            EXPECT_EQ(found.className, kTestClass);
        }
    }

    // The empty list finds nothing at all, Wine's helper windows included.
    WindowSearch search;
    search.SetWindowList("");
    EXPECT_EQ(SearchWindows(system, search), 0u) << FoundWindowsText(search);
}

TEST(Win32WindowSearch, FindsAWindowOfAnotherProcess) {
    const std::string title = StringFormat("ZorInstaller helper of %u", CurrentProcessId());
    ASSERT_TRUE(::SetEnvironmentVariableA(kHelperVariable, title.c_str()));
    std::string commandLine = "\"" + GetModulePath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // The helper writes nothing: it gets no standard handles, so this
    // program's captured output is never shared with it.
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process = {};
    const BOOL started = ::CreateProcessA(GetModulePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableA(kHelperVariable, nullptr);
    ASSERT_TRUE(started) << ::GetLastError();

    Win32WindowSystem system;
    WindowSearch search;
    search.SetWindowList("Calculator;helper of");
    const DWORD start = ::GetTickCount();
    bool found = false;
    while (!found && ::GetTickCount() - start < 15000) {
        SearchWindows(system, search);
        for (const FoundWindow& window : search.found)
            if (window.title == title) found = true;
        if (!found) ::Sleep(50);
    }
    EXPECT_TRUE(found) << FoundWindowsText(search);

    for (const FoundWindow& window : search.found) {
        if (window.title != title) continue;
        EXPECT_EQ(window.className, kHelperClass);
        EXPECT_EQ(FoundWindowsText(search), "- " + title + "\n");
        ::PostMessageA(reinterpret_cast<HWND>(window.handle), WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    // Once the helper has gone, its window is no longer found.
    SearchWindows(system, search);
    for (const FoundWindow& window : search.found) EXPECT_NE(window.title, title);
}

TEST(Win32ProcessCheck, FindsThisProgramByItsPath) {
    Win32WindowSystem system;
    const std::string path = GetModulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_FALSE(system.ProcessIds().empty());
    EXPECT_TRUE(IsProcessRunning(system, path));

    std::string otherCase = path;
    for (char& c : otherCase)
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : (c >= 'A' && c <= 'Z' ? c + 32 : c));
    EXPECT_TRUE(IsProcessRunning(system, otherCase));

    EXPECT_FALSE(IsProcessRunning(system, path + ".missing"));
    EXPECT_FALSE(IsProcessRunning(system, "C:\\ZorInstaller\\no such program.exe"));
    EXPECT_FALSE(IsProcessRunning(system, ""));
}

TEST(Win32PlatformCheck, ReportsTheNtFamily) {
    Win32WindowSystem system;
    EXPECT_TRUE(IsNtPlatform(system));
}

} // namespace
