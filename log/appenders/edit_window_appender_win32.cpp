#include "log/appenders/edit_window_appender.h"

#include "common/text_utils.h"
#include "common/windows_api.h"
#include "log/param_text.h"

#include <string>

namespace {

// text as UTF-16 with every lone "\n" turned into "\r\n". Bytes that are not
// well-formed UTF-8 become U+FFFD, as the system's conversion does.
std::wstring ToControlText(std::string_view text) {
    std::wstring converted;
    if (text.empty()) return converted;
    const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return converted;
    converted.resize(static_cast<std::size_t>(units));
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), units);

    std::wstring result;
    result.reserve(converted.size() + converted.size() / 16 + 2);
    // A line feed that already has its carriage return ("%n" of a pattern
    // layout) keeps the one it has.
    wchar_t previous = L'\0';
    for (wchar_t unit : converted) {
        if (unit == L'\n' && previous != L'\r') result += L'\r';
        result += unit;
        previous = unit;
    }
    return result;
}

// The control's whole text.
std::wstring ReadControlText(HWND control) {
    const LRESULT length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        ::SendMessageW(control, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

} // namespace

const char* EditWindowAppender::className() const { return "EditWindowAppender"; }

bool EditWindowAppender::setParam(const std::string& name, const std::string& value) {
    if (Appender::setParam(name, value)) return true;
    if (EqualsIgnoringCase(name, "HWND")) {
        // Handles carry 32 significant bits, sign-extended on 64-bit Windows;
        // the 64-bit conversion keeps both spellings of such a value.
        window_.store(static_cast<std::uintptr_t>(TextToInt64(value)));
        return true;
    }
    if (EqualsIgnoringCase(name, "MaxLines")) {
        maxLines_.store(static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt64(value))));
        return true;
    }
    if (EqualsIgnoringCase(name, "AutoScroll")) {
        autoScroll_.store(ParamIsTrue(value));
        return true;
    }
    return false;
}

std::string EditWindowAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "MaxLines")) return UIntToText(static_cast<std::uint32_t>(maxLines_.load()));
    if (EqualsIgnoringCase(name, "AutoScroll")) return ParamBoolText(autoScroll_.load());
    if (EqualsIgnoringCase(name, "HWND")) return {};
    return Appender::getParam(name);
}

EditWindowAppender::TargetOpening EditWindowAppender::openTarget(std::string&) { return TargetOpening::NoHeader; }

void EditWindowAppender::write(std::string_view text, const LoggingEvent*) {
    const auto control = reinterpret_cast<HWND>(window_.load());
    if (control == nullptr || !::IsWindow(control)) return;

    if ((::GetWindowLongPtrW(control, GWL_STYLE) & ES_READONLY) == 0) ::SendMessageW(control, EM_SETREADONLY, TRUE, 0);

    std::wstring content = ReadControlText(control);
    const std::int32_t maxLines = maxLines_.load();
    if (maxLines != -1) {
        const LRESULT lines = ::SendMessageW(control, EM_GETLINECOUNT, 0, 0);
        if (lines >= maxLines) {
            const std::size_t lineFeed = content.find(L'\n');
            if (lineFeed != std::wstring::npos) content.erase(0, lineFeed + 1);
        }
    }
    content += ToControlText(text);
    ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(content.c_str()));

    if (autoScroll_.load()) {
        const LRESULT lines = ::SendMessageW(control, EM_GETLINECOUNT, 0, 0);
        ::SendMessageW(control, EM_LINESCROLL, 0, lines);
    }
}
