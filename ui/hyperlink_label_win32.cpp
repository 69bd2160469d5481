#include "ui/hyperlink_label.h"

#include "common/error_texts.h"
#include "common/string_format.h"
#include "common/windows_api.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// Window properties: on the control, the label that holds it; on the parent,
// the parent's own procedure and the number of labels that hook it.
constexpr const char* kLabelProperty = "ZorHyperlinkLabel";
constexpr const char* kParentProcProperty = "ZorHyperlinkLabelParentProc";
constexpr const char* kParentCountProperty = "ZorHyperlinkLabelParentCount";

// The static-control style that makes it send mouse notifications (and not be
// transparent to the mouse).
constexpr LONG_PTR kNotifyStyle = SS_NOTIFY;

// Owns one GDI object and deletes it.
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(HGDIOBJ handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    void Reset(HGDIOBJ handle = nullptr) {
        if (handle_) ::DeleteObject(handle_);
        handle_ = handle;
    }
    HGDIOBJ Get() const { return handle_; }

private:
    HGDIOBJ handle_ = nullptr;
};

// Owns one cursor made by CopyIcon and destroys it.
class OwnedCursor {
public:
    OwnedCursor() = default;
    ~OwnedCursor() {
        if (handle_) ::DestroyCursor(handle_);
    }
    OwnedCursor(const OwnedCursor&) = delete;
    OwnedCursor& operator=(const OwnedCursor&) = delete;
    void Take(HCURSOR handle) { handle_ = handle; }
    HCURSOR Get() const { return handle_; }

private:
    HCURSOR handle_ = nullptr;
};

// A module loaded for its resources only, unloaded at the end of the scope.
class ResourceModule {
public:
    explicit ResourceModule(const char* path) : handle_(::LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ResourceModule() {
        if (handle_) ::FreeLibrary(handle_);
    }
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;
    HMODULE Get() const { return handle_; }

private:
    HMODULE handle_;
};

// A device context of a window, released at the end of the scope.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint and EndPaint of one WM_PAINT.
class PaintScope {
public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = ::BeginPaint(window, &paint_); }
    ~PaintScope() { ::EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// The hand cursor of the system's help program: cursor resource 106 of
// "%SYSTEMROOT%\winhlp32.exe", copied so that it outlives the module. Null
// when any step fails; the label then keeps the normal cursor.
HCURSOR LoadHandCursorCopy() {
    static constexpr char kHelpProgram[] = "\\winhlp32.exe";
    char path[MAX_PATH + sizeof kHelpProgram];
    const DWORD length = ::GetEnvironmentVariableA("SYSTEMROOT", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::memcpy(path + length, kHelpProgram, sizeof kHelpProgram);
    ResourceModule module(path);
    if (!module.Get()) return nullptr;
    HCURSOR cursor = ::LoadCursorA(module.Get(), MAKEINTRESOURCEA(106));
    if (!cursor) return nullptr;
    // The module's cursor belongs to the module; the copy belongs to us.
    return static_cast<HCURSOR>(::CopyIcon(cursor));
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, unsigned flags) {
    return ::MessageBoxA(owner, text, caption, flags);
}

} // namespace

struct HyperlinkLabel::Resources {
    LOGFONTA description{};
    GdiObject font;
    GdiObject backgroundBrush;
    GdiObject flashBackgroundBrush;
    OwnedCursor handCursor;
};

HyperlinkLabel::HyperlinkLabel() : resources_(std::make_unique<Resources>()), messageBox_(ShowMessageBox) {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTA), &resources_->description);
    resources_->font.Reset(::CreateFontIndirectA(&resources_->description));
    resources_->handCursor.Take(LoadHandCursorCopy());
    textColour_ = ::GetSysColor(COLOR_WINDOWTEXT);
    backgroundColour_ = ::GetSysColor(COLOR_BTNFACE);
    flashTextColour_ = ::GetSysColor(COLOR_BTNFACE);
    hoverColour_ = ::GetSysColor(COLOR_HIGHLIGHT);
    flashBackgroundColour_ = ::GetSysColor(COLOR_WINDOWTEXT);
    frameColour_ = 0;
    resources_->backgroundBrush.Reset(::CreateSolidBrush(backgroundColour_));
    resources_->flashBackgroundBrush.Reset(::CreateSolidBrush(flashBackgroundColour_));
}

HyperlinkLabel::~HyperlinkLabel() { Detach(); }

HFONT__* HyperlinkLabel::Font() const { return static_cast<HFONT>(resources_->font.Get()); }

HICON__* HyperlinkLabel::HandCursor() const { return resources_->handCursor.Get(); }

bool HyperlinkLabel::Attach(HWND control) {
    Detach();
    if (!control || !::IsWindow(control) || ::GetPropA(control, kLabelProperty)) return false;
    HWND parent = ::GetParent(control);
    if (!parent) return false;

    control_ = control;
    parent_ = parent;
    ::SetPropA(control, kLabelProperty, this);
    originalProc_ = ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc));

    // One hook per parent, shared by its labels and counted.
    auto count = reinterpret_cast<std::uintptr_t>(::GetPropA(parent, kParentCountProperty));
    if (count == 0) {
        LONG_PTR parentProc = ::SetWindowLongPtrA(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ParentProc));
        ::SetPropA(parent, kParentProcProperty, reinterpret_cast<HANDLE>(parentProc));
    }
    ::SetPropA(parent, kParentCountProperty, reinterpret_cast<HANDLE>(count + 1));

    originalFont_ = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(resources_->font.Get()), FALSE);
    if (!link_.empty()) StartHoverTracking();
    if (flashText_ || flashBackground_) {
        ::SetTimer(control_, kFlashTimerId, kFlashIntervalMs, nullptr);
        flashTimer_ = static_cast<int>(kFlashTimerId);
    }
    if (autoSize_) AutoSize();
    Repaint();
    return true;
}

void HyperlinkLabel::Detach() {
    if (!control_) return;
    HWND control = control_;
    if (hoverTimer_ != -1) ::KillTimer(control, kHoverTimerId);
    if (flashTimer_ != -1) ::KillTimer(control, kFlashTimerId);
    hoverTimer_ = -1;
    flashTimer_ = -1;
    if (addedNotifyStyle_) {
        ::SetWindowLongPtrA(control, GWL_STYLE, ::GetWindowLongPtrA(control, GWL_STYLE) & ~kNotifyStyle);
        addedNotifyStyle_ = false;
    }
    // The control must not keep drawing with a font that is about to go.
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(originalFont_), FALSE);
    ::SetWindowLongPtrA(control, GWLP_WNDPROC, originalProc_);
    ::RemovePropA(control, kLabelProperty);

    auto count = reinterpret_cast<std::uintptr_t>(::GetPropA(parent_, kParentCountProperty));
    if (count > 1) {
        ::SetPropA(parent_, kParentCountProperty, reinterpret_cast<HANDLE>(count - 1));
    } else if (count == 1 && ::GetWindowLongPtrA(parent_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&ParentProc)) {
        // Nobody hooked the parent after us: give it its own procedure back.
        // Otherwise the hook stays and passes everything on until the parent
        // goes.
        ::SetWindowLongPtrA(parent_, GWLP_WNDPROC,
                            reinterpret_cast<LONG_PTR>(::GetPropA(parent_, kParentProcProperty)));
        ::RemovePropA(parent_, kParentProcProperty);
        ::RemovePropA(parent_, kParentCountProperty);
    } else if (count == 1) {
        ::SetPropA(parent_, kParentCountProperty, reinterpret_cast<HANDLE>(0));
    }
    control_ = nullptr;
    parent_ = nullptr;
    originalProc_ = 0;
    originalFont_ = nullptr;
    hover_ = false;
}

LRESULT CALLBACK HyperlinkLabel::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto original = reinterpret_cast<WNDPROC>(::GetPropA(window, kParentProcProperty));
    if (message == WM_CTLCOLORSTATIC) {
        auto child = reinterpret_cast<HWND>(lParam);
        if (child && ::GetPropA(child, kLabelProperty) && ::GetParent(child) == window)
            return ::SendMessageA(child, kReflectedColourRequest, wParam, lParam);
    } else if (message == WM_NCDESTROY) {
        // Children are gone by now, so no label uses the hook any more.
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropA(window, kParentProcProperty);
        ::RemovePropA(window, kParentCountProperty);
    }
    if (!original) return ::DefWindowProcA(window, message, wParam, lParam);
    return ::CallWindowProcA(original, window, message, wParam, lParam);
}

LRESULT CALLBACK HyperlinkLabel::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* label = static_cast<HyperlinkLabel*>(::GetPropA(window, kLabelProperty));
    if (!label || label->control_ != window) return ::DefWindowProcA(window, message, wParam, lParam);
    return label->HandleMessage(message, wParam, lParam);
}

LRESULT HyperlinkLabel::CallOriginal(unsigned message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(reinterpret_cast<WNDPROC>(originalProc_), control_, message, wParam, lParam);
}

LRESULT HyperlinkLabel::HandleMessage(unsigned message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kReflectedColourRequest:
        return reinterpret_cast<LRESULT>(OnColourRequest(reinterpret_cast<HDC>(wParam)));
    case WM_TIMER:
        if ((wParam == kFlashTimerId && flashTimer_ != -1) || (wParam == kHoverTimerId && hoverTimer_ != -1)) {
            OnTimer(wParam);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (!link_.empty() && resources_->handCursor.Get()) {
            ::SetCursor(resources_->handCursor.Get());
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        if (!clickDisabled_ && !link_.empty()) OpenLink(SW_SHOWNORMAL);
        break;
    case WM_PAINT:
        if (PaintFrame()) return 0;
        break;
    case WM_SETTEXT: {
        LRESULT result = CallOriginal(message, wParam, lParam);
        if (autoSize_) AutoSize();
        return result;
    }
    case WM_NCDESTROY: {
        // The control goes before the label: let go of it, then let its own
        // procedure finish.
        auto original = reinterpret_cast<WNDPROC>(originalProc_);
        HWND control = control_;
        Detach();
        return ::CallWindowProcA(original, control, message, wParam, lParam);
    }
    default:
        break;
    }
    return CallOriginal(message, wParam, lParam);
}

HBRUSH HyperlinkLabel::OnColourRequest(HDC dc) {
    LabelColour colour = (flashText_ && flashPhase_) ? flashTextColour_ : textColour_;
    if (!link_.empty()) colour = hover_ ? hoverColour_ : textColour_;
    ::SelectObject(dc, resources_->font.Get());
    ::SetTextColor(dc, colour);
    ::SetBkMode(dc, TRANSPARENT);
    if (flashBackground_ && flashPhase_) return static_cast<HBRUSH>(resources_->flashBackgroundBrush.Get());
    return static_cast<HBRUSH>(resources_->backgroundBrush.Get());
}

void HyperlinkLabel::OnTimer(std::uintptr_t id) {
    if (id == kFlashTimerId) {
        flashPhase_ = !flashPhase_;
        RepaintNow();
        return;
    }
    POINT cursor{};
    RECT rect{};
    if (!::GetCursorPos(&cursor) || !::GetWindowRect(control_, &rect)) return;
    bool inside = ::PtInRect(&rect, cursor) != FALSE;
    if (inside != hover_) {
        hover_ = inside;
        RepaintNow();
    }
}

// Only the filled-rectangle type of static control (SS_BLACKRECT) is drawn
// as a frame. The type is the low five bits of the style, an enumeration:
// testing the single bit 0x4 would also catch text, bitmap and owner-drawn
// statics (SS_LEFTNOWORDWRAP, SS_BITMAP, SS_OWNERDRAW) and hide their content.
bool HyperlinkLabel::PaintFrame() {
    if ((::GetWindowLongPtrA(control_, GWL_STYLE) & SS_TYPEMASK) != SS_BLACKRECT) return false;
    PaintScope paint(control_);
    if (!paint.Get()) return true;
    RECT rect{};
    ::GetClientRect(control_, &rect);
    ::Rectangle(paint.Get(), rect.left, rect.top, rect.right, rect.bottom);
    ::InflateRect(&rect, -1, -1);
    GdiObject brush(::CreateSolidBrush(frameColour_));
    if (brush.Get()) ::FillRect(paint.Get(), &rect, static_cast<HBRUSH>(brush.Get()));
    return true;
}

void HyperlinkLabel::Repaint() {
    if (control_) ::InvalidateRect(control_, nullptr, TRUE);
}

void HyperlinkLabel::RepaintNow() {
    if (control_) ::RedrawWindow(control_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void HyperlinkLabel::RebuildFont() {
    HFONT font = ::CreateFontIndirectA(&resources_->description);
    if (!font) return; // keep drawing with the font we have
    // Hand the new font to the control before the old one is deleted.
    if (control_) ::SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    resources_->font.Reset(font);
    if (autoSize_) AutoSize();
    Repaint();
}

LabelColour HyperlinkLabel::SetTextColor(LabelColour colour) {
    std::swap(textColour_, colour);
    Repaint();
    return colour;
}

LabelColour HyperlinkLabel::SetBackgroundColor(LabelColour colour) {
    std::swap(backgroundColour_, colour);
    resources_->backgroundBrush.Reset(::CreateSolidBrush(backgroundColour_));
    Repaint();
    return colour;
}

LabelColour HyperlinkLabel::SetFlashTextColor(LabelColour colour) {
    std::swap(flashTextColour_, colour);
    Repaint();
    return colour;
}

LabelColour HyperlinkLabel::SetHoverColor(LabelColour colour) {
    std::swap(hoverColour_, colour);
    Repaint();
    return colour;
}

LabelColour HyperlinkLabel::SetFlashBackgroundColor(LabelColour colour) {
    std::swap(flashBackgroundColour_, colour);
    resources_->flashBackgroundBrush.Reset(::CreateSolidBrush(flashBackgroundColour_));
    Repaint();
    return colour;
}

LabelColour HyperlinkLabel::SetFrameColor(LabelColour colour) {
    std::swap(frameColour_, colour);
    Repaint();
    return colour;
}

bool HyperlinkLabel::SetFontBold(bool bold) {
    bool was = resources_->description.lfWeight >= FW_BOLD;
    resources_->description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RebuildFont();
    return was;
}

bool HyperlinkLabel::SetFontUnderline(bool underline) {
    bool was = resources_->description.lfUnderline != 0;
    resources_->description.lfUnderline = underline ? 1 : 0;
    RebuildFont();
    return was;
}

int HyperlinkLabel::SetFontSize(int size) {
    int previous = -resources_->description.lfHeight;
    resources_->description.lfHeight = -size;
    RebuildFont();
    return previous;
}

bool HyperlinkLabel::SetFontName(const std::string& face) {
    char* name = resources_->description.lfFaceName;
    std::size_t length = std::min(face.size(), sizeof(resources_->description.lfFaceName) - 1);
    std::memcpy(name, face.data(), length);
    name[length] = '\0';
    RebuildFont();
    return true;
}

bool HyperlinkLabel::SetSunken(bool sunken) {
    if (!control_) return true;
    LONG_PTR style = ::GetWindowLongPtrA(control_, GWL_EXSTYLE);
    style = sunken ? (style | WS_EX_STATICEDGE) : (style & ~static_cast<LONG_PTR>(WS_EX_STATICEDGE));
    ::SetWindowLongPtrA(control_, GWL_EXSTYLE, style);
    ::SetWindowPos(control_, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    Repaint();
    return true;
}

bool HyperlinkLabel::UpdateFlashing(bool& kind, bool on, bool otherOn) {
    bool previous = kind;
    if (previous == on) return previous;
    kind = on;
    if (on) {
        if (!otherOn && control_) {
            ::SetTimer(control_, kFlashTimerId, kFlashIntervalMs, nullptr);
            flashTimer_ = static_cast<int>(kFlashTimerId);
        }
        Repaint();
    } else {
        if (!otherOn && flashTimer_ != -1) {
            ::KillTimer(control_, kFlashTimerId);
            flashTimer_ = -1;
        }
        RepaintNow();
    }
    return previous;
}

bool HyperlinkLabel::SetFlashText(bool on) { return UpdateFlashing(flashText_, on, flashBackground_); }

bool HyperlinkLabel::SetFlashBackground(bool on) { return UpdateFlashing(flashBackground_, on, flashText_); }

void HyperlinkLabel::StartHoverTracking() {
    if (!control_ || hoverTimer_ != -1) return;
    LONG_PTR style = ::GetWindowLongPtrA(control_, GWL_STYLE);
    if (!(style & kNotifyStyle)) {
        ::SetWindowLongPtrA(control_, GWL_STYLE, style | kNotifyStyle);
        addedNotifyStyle_ = true;
    }
    ::SetTimer(control_, kHoverTimerId, kHoverIntervalMs, nullptr);
    hoverTimer_ = static_cast<int>(kHoverTimerId);
}

// The notify style goes only when the label added it: a control made with it
// keeps sending its click notifications to its parent.
void HyperlinkLabel::StopHoverTracking() {
    if (!control_ || hoverTimer_ == -1) return;
    ::KillTimer(control_, kHoverTimerId);
    hoverTimer_ = -1;
    if (addedNotifyStyle_) {
        ::SetWindowLongPtrA(control_, GWL_STYLE, ::GetWindowLongPtrA(control_, GWL_STYLE) & ~kNotifyStyle);
        addedNotifyStyle_ = false;
    }
}

void HyperlinkLabel::SetLink(const std::string& link) {
    link_ = link;
    if (!link_.empty())
        StartHoverTracking();
    else
        StopHoverTracking();
}

bool HyperlinkLabel::SetClickDisabled(bool disabled) {
    clickDisabled_ = disabled;
    return clickDisabled_;
}

bool HyperlinkLabel::SetAutoSize(bool autoSize) {
    bool previous = autoSize_;
    autoSize_ = autoSize;
    if (autoSize_) AutoSize();
    return previous;
}

void HyperlinkLabel::SetText(const std::string& text) {
    if (!control_) return;
    // WM_SETTEXT resizes the control when auto size is on.
    ::SetWindowTextA(control_, text.c_str());
}

std::string HyperlinkLabel::FailureText(const std::string& link, std::intptr_t result) {
    return StringFormat("Lien vers l'adresse '%s' impossible. (%s)", link.c_str(),
                        ShellExecuteErrorText(static_cast<std::uintptr_t>(result)));
}

std::intptr_t HyperlinkLabel::OpenLink(int showMode) {
    auto result =
        reinterpret_cast<std::intptr_t>(::ShellExecuteA(nullptr, "open", link_.c_str(), nullptr, nullptr, showMode));
    if (result > 32) return result;
    std::string text = FailureText(link_, result);
    if (messageBox_) messageBox_(control_, text.c_str(), "Information", MB_ICONINFORMATION);
    return result;
}

void HyperlinkLabel::AutoSize() {
    if (!control_) return;
    int length = ::GetWindowTextLengthA(control_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = ::GetWindowTextA(control_, text.data(), length + 1);
    SIZE extent{};
    {
        WindowDc dc(control_);
        if (!dc.Get()) return;
        SelectedObject font(dc.Get(), resources_->font.Get());
        if (!::GetTextExtentPoint32A(dc.Get(), text.c_str(), length, &extent)) return;
    }
    RECT rect{};
    ::GetWindowRect(control_, &rect);
    // The window rectangle is in screen coordinates; the move is in the parent's.
    ::MapWindowPoints(HWND_DESKTOP, parent_, reinterpret_cast<POINT*>(&rect), 2);
    ::SetWindowPos(control_, nullptr, rect.left, rect.top, extent.cx + 5, extent.cy + 2, SWP_NOZORDER | SWP_NOACTIVATE);
}
