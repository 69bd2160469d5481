#include "ui/dialog.h"

#include "common/windows_api.h"
#include "ui/hyperlink_label.h"

#include <vector>

void DataExchange::Text(int id, std::string& value) {
    HWND control = ::GetDlgItem(dialog_, id);
    if (control == nullptr) return;
    if (!saving_) {
        ::SetWindowTextA(control, value.c_str());
        return;
    }
    const int length = ::GetWindowTextLengthA(control);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    const int copied = ::GetWindowTextA(control, text.data(), length + 1);
    value.assign(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void DataExchange::Check(int id, bool& value) {
    if (saving_)
        value = ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
    else
        ::CheckDlgButton(dialog_, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void DataExchange::Control(int id, HyperlinkLabel& label) {
    if (!saving_ && label.Control() == nullptr) label.Attach(::GetDlgItem(dialog_, id));
}

Dialog::Dialog(int templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

std::intptr_t Dialog::DoModal() {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_), parent_, Procedure,
                             reinterpret_cast<LPARAM>(this));
}

HWND Dialog::Item(int id) const { return window_ != nullptr ? ::GetDlgItem(window_, id) : nullptr; }

void Dialog::UpdateData(bool saving) {
    if (window_ == nullptr || exchanging_) return;
    exchanging_ = true;
    DataExchange exchange(window_, saving);
    DoDataExchange(exchange);
    exchanging_ = false;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnCommand(int, int) {}

void Dialog::OnOK() {
    UpdateData(true);
    EndDialog(kOk);
}

void Dialog::OnCancel() { EndDialog(kCancel); }

void Dialog::EndDialog(int result) {
    if (window_ != nullptr) ::EndDialog(window_, result);
}

INT_PTR CALLBACK Dialog::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->window_ = window;
        return dialog->OnInitDialog() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == kOk)
            dialog->OnOK();
        else if (id == kCancel)
            dialog->OnCancel();
        else
            dialog->OnCommand(id, HIWORD(wParam));
        return TRUE;
    }
    case WM_NCDESTROY:
        // The object outlives its window: the caller reads its members.
        dialog->window_ = nullptr;
        ::SetWindowLongPtrA(window, DWLP_USER, 0);
        return FALSE;
    default:
        return FALSE;
    }
}
