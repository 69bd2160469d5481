// Finding running instances of an application by the titles of top-level
// windows, and the related process and platform checks.
//
// The matching rules are portable; the system is reached through
// WindowSystem, which the Windows build implements with the real window and
// process enumeration (Win32WindowSystem) and tests replace by a fake.
#pragma once

#include "app/token_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A top-level window's handle, as an integer so that portable code and
// fakes can hold one.
using WindowHandle = std::uintptr_t;

// Titles and class names are read into buffers of this many characters, so
// at most kWindowTextLimit - 1 of them are kept.
inline constexpr std::size_t kWindowTextLimit = 400;

// At most this many process identifiers are examined by IsProcessRunning.
inline constexpr std::size_t kMaxProcessIds = 4096;

// One top-level window as the enumeration reports it.
struct EnumeratedWindow {
    WindowHandle handle = 0;
    std::string title;
    std::string className;
};

// One window whose title holds a fragment of the search list.
struct FoundWindow {
    WindowHandle handle = 0;
    std::string className;
    std::string title;

    bool operator==(const FoundWindow&) const = default;
};

struct WindowSearch {
    std::vector<FoundWindow> found;
    // The title fragments; SetWindowList fills it from an archive's list.
    TokenList titles{nullptr, '|'};

    // Replaces the fragments by the pieces of windowList cut at ";".
    void SetWindowList(const std::string& windowList) { titles.Assign(windowList.c_str(), ';'); }
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Calls visit once for every top-level window, visible or not, while
    // visit returns true.
    virtual void EnumerateTopLevelWindows(const std::function<bool(const EnumeratedWindow&)>& visit) = 0;
    // The identifiers of the running processes, at most kMaxProcessIds.
    virtual std::vector<std::uint32_t> ProcessIds() = 0;
    // The full path of the process's main module; empty when the process
    // cannot be opened or its path cannot be read.
    virtual std::string ProcessImagePath(std::uint32_t processId) = 0;
    // True when the operating system belongs to the NT platform family.
    virtual bool IsNtPlatform() = 0;
};

// Records window in search.found when its title contains a non-empty
// fragment of search.titles (exact, case-sensitive substring). Only the
// title is compared; the class name is recorded with it. A window is recorded
// once however many fragments its title holds, and empty fragments (an empty
// list, two adjacent ";" or a final ";") match nothing: otherwise every
// window of the desktop would be taken for a running instance and the
// installation could never go on. Returns true: every window is visited.
bool OnEnumWindow(const EnumeratedWindow& window, WindowSearch& search);

// Clears search.found, then passes every top-level window to OnEnumWindow.
// Returns the number of windows found.
std::size_t SearchWindows(WindowSystem& system, WindowSearch& search);

// "- " and the title and "\n" for each found window, in the order found.
std::string FoundWindowsText(const WindowSearch& search);

// True when a running process's main module is executablePath, compared
// without regard to ASCII case. Identifier 0 and processes that cannot be
// opened are skipped; an empty path matches nothing.
bool IsProcessRunning(WindowSystem& system, const std::string& executablePath);

// True when the operating system belongs to the NT platform family.
bool IsNtPlatform(WindowSystem& system);
