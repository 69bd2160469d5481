// Hello: one window with a line of text, closed by the user or by WM_CLOSE.
// The installer looks for running instances by its title.
#include "common/windows_api.h"

namespace {

constexpr char kClassName[] = "ZorHelloWindow";
constexpr char kTitle[] = "Hello ZorInstaller";
constexpr char kGreeting[] = "Hello! This application was installed by ZorInstaller.";

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        RECT area;
        ::GetClientRect(window, &area);
        ::DrawTextA(dc, kGreeting, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassA(&windowClass)) return 1;

    HWND window = ::CreateWindowA(kClassName, kTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 420, 160,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ::ShowWindow(window, show);
    ::UpdateWindow(window);

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
