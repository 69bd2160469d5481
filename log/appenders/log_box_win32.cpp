#include "log/appenders/log_box.h"

#include "common/windows_api.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

// On the control, the box that holds it.
constexpr const wchar_t* kBoxProperty = L"ZorLogBox";

std::wstring ToUtf16(std::string_view text) {
    std::wstring wide;
    if (text.empty()) return wide;
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return wide;
    wide.resize(static_cast<std::size_t>(units));
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
    return wide;
}

// The length of text without a UTF-8 sequence cut short at its end, so that a
// text cut at a byte limit ends on a character boundary.
std::size_t WholeCharactersLength(const char* text, std::size_t length) {
    // A sequence is at most four bytes: look back at most three for its lead.
    for (std::size_t back = 1; back <= 3 && back <= length; ++back) {
        const auto byte = static_cast<unsigned char>(text[length - back]);
        if ((byte & 0xC0) == 0x80) continue; // a continuation byte
        std::size_t needed = 1;
        if ((byte & 0xE0) == 0xC0)
            needed = 2;
        else if ((byte & 0xF0) == 0xE0)
            needed = 3;
        else if ((byte & 0xF8) == 0xF0)
            needed = 4;
        return needed > back ? length - back : length;
    }
    return length;
}

// The formatted text, cut as LogBox::kFormatBufferSize says.
std::string FormatBounded(const char* format, va_list args) {
    char buffer[LogBox::kFormatBufferSize];
    std::size_t length = FormatToBufferV(buffer, sizeof buffer, format, args);
    // Only a result that filled the buffer may have been cut.
    if (length == sizeof buffer - 1) length = WholeCharactersLength(buffer, length);
    return std::string(buffer, length);
}

bool IsMultiLineEdit(HWND control) {
    wchar_t className[16] = {};
    if (::GetClassNameW(control, className, 16) == 0 || ::_wcsicmp(className, L"Edit") != 0) return false;
    return (::GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE) != 0;
}

} // namespace

LogBox::~LogBox() { detach(); }

bool LogBox::attach(HWND control) {
    detach();
    if (control == nullptr || !::IsWindow(control) || ::GetPropW(control, kBoxProperty) != nullptr) return false;
    if (!IsMultiLineEdit(control)) return false;
    control_ = control;
    ::SetPropW(control, kBoxProperty, this);
    originalProc_ = ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc));
    return true;
}

void LogBox::detach() {
    if (control_ == nullptr) return;
    stopScrollTimer();
    ::SetWindowLongPtrW(control_, GWLP_WNDPROC, originalProc_);
    ::RemovePropW(control_, kBoxProperty);
    control_ = nullptr;
    originalProc_ = 0;
}

LRESULT CALLBACK LogBox::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<LogBox*>(::GetPropW(window, kBoxProperty));
    if (box == nullptr || box->control_ != window) return ::DefWindowProcW(window, message, wParam, lParam);
    return box->handleMessage(message, wParam, lParam);
}

LRESULT LogBox::callOriginal(unsigned message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(reinterpret_cast<WNDPROC>(originalProc_), control_, message, wParam, lParam);
}

LRESULT LogBox::handleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        // A typed character carries its repeat count and scan code; one the
        // program sends to insert text carries none.
        if (lParam != 0) return 0;
        break;
    case WM_TIMER:
        // The control's own timers (selection by dragging) stay its own.
        if (wParam == kScrollTimerId && scrollPending_) {
            stopScrollTimer();
            scrollToEnd();
            return 0;
        }
        break;
    case WM_NCDESTROY: {
        // The control goes before the box: let go of it, then let its own
        // procedure finish.
        auto original = reinterpret_cast<WNDPROC>(originalProc_);
        HWND control = control_;
        detach();
        return ::CallWindowProcW(original, control, message, wParam, lParam);
    }
    default:
        break;
    }
    return callOriginal(message, wParam, lParam);
}

void LogBox::appendText(const std::string& text, bool convert) {
    if (control_ == nullptr) return;
    HWND control = control_;
    const LRESULT length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring content(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
    const LRESULT copied = ::SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(content.size()),
                                          reinterpret_cast<LPARAM>(content.data()));
    content.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);

    const std::wstring added = ToUtf16(text);
    content.reserve(content.size() + added.size() + (convert ? added.size() / 16 + 2 : 0));
    // A line feed that already has its carriage return keeps the one it has.
    wchar_t previous = L'\0';
    for (wchar_t unit : added) {
        if (convert && unit == L'\n' && previous != L'\r') content += L'\r';
        content += unit;
        previous = unit;
    }
    ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(content.c_str()));
    if (control_ == control && ::IsWindow(control)) scrollToEnd();
}

void LogBox::appendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatBounded(format, args);
    va_end(args);
    appendText(text, true);
}

// The line break goes with the formatted text in one update of the control,
// so that its change notification and scroll happen once per line.
void LogBox::appendLineFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = FormatBounded(format, args);
    va_end(args);
    text += '\n';
    appendText(text, true);
}

void LogBox::scrollToEnd() {
    if (control_ == nullptr) return;
    const LRESULT lines = ::SendMessageW(control_, EM_GETLINECOUNT, 0, 0);
    ::SendMessageW(control_, EM_LINESCROLL, 0, lines);
}

void LogBox::requestScrollToEnd() {
    if (control_ == nullptr || scrollPending_) return;
    if (::SetTimer(control_, kScrollTimerId, kScrollDelayMs, nullptr) != 0) scrollPending_ = true;
}

void LogBox::stopScrollTimer() {
    if (!scrollPending_) return;
    ::KillTimer(control_, kScrollTimerId);
    scrollPending_ = false;
}

std::string LogBox::handleText() const {
    // Window handles have 32 significant bits, so that 32- and 64-bit
    // programs can exchange them; the text shows those.
    const auto value = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(control_) & 0xFFFFFFFFu);
    char text[32];
    std::snprintf(text, sizeof text, "LogBoxHandle:%08lX", value);
    return text;
}
