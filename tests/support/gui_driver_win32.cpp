#include "tests/support/gui_driver.h"

#include "common/file.h"
#include "common/windows_api.h"

#include <algorithm>
#include <cstring>

namespace {

struct Search {
    const std::string* caption;
    HWND other;
    HWND found;
};

// Texts of another process's controls come only through WM_GETTEXT.
std::string WindowText(HWND window) {
    char text[4096] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (window != search->other && ::IsWindowVisible(window) && WindowText(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ReadChild(HWND child, LPARAM parameter) {
    auto* window = reinterpret_cast<DrivenWindow*>(parameter);
    char className[64] = {};
    ::GetClassNameA(child, className, sizeof className);
    if (_stricmp(className, "Static") == 0) window->texts.push_back(WindowText(child));
    if (_stricmp(className, "Button") == 0) window->buttons.push_back(WindowText(child));
    return TRUE;
}

} // namespace

DrivenWindow WaitForWindow(const std::string& caption, int timeoutMs, void* other) {
    DrivenWindow window;
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        Search search{&caption, static_cast<HWND>(other), nullptr};
        ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // Give the box a moment to create its controls.
            ::Sleep(100);
            window.handle = search.found;
            window.caption = caption;
            ::EnumChildWindows(search.found, ReadChild, reinterpret_cast<LPARAM>(&window));
            return window;
        }
        ::Sleep(50);
    }
    return window;
}

std::string MessageText(const DrivenWindow& window) {
    std::string longest;
    for (const std::string& text : window.texts)
        if (text.size() > longest.size()) longest = text;
    return longest;
}

bool PressButton(const DrivenWindow& window, int id, int timeoutMs) {
    HWND handle = static_cast<HWND>(window.handle);
    HWND button = ::GetDlgItem(handle, id);
    if (button == nullptr) return false;
    ::PostMessageA(handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        if (!::IsWindow(handle)) return true;
        ::Sleep(20);
    }
    return false;
}

DrivenWindow WindowOf(void* handle) {
    DrivenWindow window;
    window.handle = handle;
    return window;
}

std::string ControlText(void* window, int id) {
    HWND control = ::GetDlgItem(static_cast<HWND>(window), id);
    return control != nullptr ? WindowText(control) : std::string();
}

bool IsChecked(void* window, int id) {
    return ::SendDlgItemMessageA(static_cast<HWND>(window), id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsControlVisible(void* window, int id) {
    return ::IsWindowVisible(::GetDlgItem(static_cast<HWND>(window), id)) != FALSE;
}

bool IsControlEnabled(void* window, int id) {
    return ::IsWindowEnabled(::GetDlgItem(static_cast<HWND>(window), id)) != FALSE;
}

void ClickControl(void* window, int id) { ::SendDlgItemMessageA(static_cast<HWND>(window), id, BM_CLICK, 0, 0); }

void TypeText(void* window, int id, const std::string& text) {
    ::SendDlgItemMessageA(static_cast<HWND>(window), id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool SaveScreenshot(const DrivenWindow& window, const std::string& path) {
    HWND handle = static_cast<HWND>(window.handle);
    RECT rect;
    if (!::GetWindowRect(handle, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const DWORD rowSize = ((width * 3 + 3) / 4) * 4;
    std::vector<std::uint8_t> pixels(rowSize * height);
    const bool ok = ::GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                                DIB_RGB_COLORS) == height;
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    if (!ok) return false;

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    CFile file;
    if (!file.Create(path)) return false;
    file.Write(&header, sizeof header);
    file.Write(&info, sizeof info);
    file.Write(pixels.data(), pixels.size());
    return true;
}
