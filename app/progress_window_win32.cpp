#include "app/progress_window.h"

#include "common/windows_api.h"

#include <commctrl.h>

namespace {

INT_PTR CALLBACK ProgressProcedure(HWND, UINT message, WPARAM, LPARAM) {
    // Let the system set the focus; everything else is the default handling.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Paints the window and keeps it movable while the caller works.
void DispatchPendingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Not ours to take: leave it for the caller's own loop.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

} // namespace

ProgressWindow::~ProgressWindow() { Close(); }

int ProgressWindow::BarPosition(std::uint64_t doneBytes, std::uint64_t totalBytes) {
    if (totalBytes == 0 || doneBytes >= totalBytes) return kBarRange;
    // Done bytes below the total keep the product below 2^64 only for totals
    // under 2^54; larger ones are scaled down first.
    while (totalBytes >= (std::uint64_t{1} << 54)) {
        totalBytes >>= 10;
        doneBytes >>= 10;
    }
    return static_cast<int>(doneBytes * kBarRange / totalBytes);
}

bool ProgressWindow::Show(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                          std::uint64_t totalBytes) {
    if (window_ == nullptr) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
        window_ = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgressDialogTemplate), nullptr,
                                       ProgressProcedure, 0);
        if (window_ == nullptr) return false;
        ::SendDlgItemMessageA(window_, kProgressBar, PBM_SETRANGE32, 0, kBarRange);
        ::ShowWindow(window_, SW_SHOWNORMAL);
        caption_.clear();
        fileName_.clear();
        barPosition_ = -1;
    }
    // Only what changed is set: each change repaints its control, and the
    // caption repaints the whole frame.
    if (caption != caption_) {
        ::SetWindowTextA(window_, caption.c_str());
        caption_ = caption;
    }
    if (fileName != fileName_) {
        ::SetDlgItemTextA(window_, kProgressFileLabel, fileName.c_str());
        fileName_ = fileName;
    }
    const int position = BarPosition(doneBytes, totalBytes);
    if (position != barPosition_) {
        ::SendDlgItemMessageA(window_, kProgressBar, PBM_SETPOS, position, 0);
        barPosition_ = position;
    }
    // Painted now: the caller goes back to work at once.
    ::UpdateWindow(window_);
    DispatchPendingMessages();
    return true;
}

void ProgressWindow::Close() {
    if (window_ == nullptr) return;
    ::DestroyWindow(window_);
    window_ = nullptr;
    DispatchPendingMessages();
}
