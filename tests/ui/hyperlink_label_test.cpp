// HyperlinkLabel on real windows of the Wine prefix: a visible top-level
// window with static children, driven by messages, timers, the cursor
// position and painting.
#include "ui/hyperlink_label.h"

#include "common/error_texts.h"
#include "common/path.h"
#include "common/windows_api.h"
#include "tests/common/temp_dir.h"
#include "tests/support/message_pump.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr const char* kWindowClass = "ZorHyperlinkLabelTestWindow";

// The parent's own answer to colour requests, so that a test can tell it
// from a label's answer.
LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(::GetStockObject(GRAY_BRUSH));
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void RegisterTestClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kWindowClass;
        return ::RegisterClassA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
}

LOGFONTA FontDescription(HGDIOBJ font) {
    LOGFONTA description{};
    EXPECT_EQ(static_cast<int>(sizeof description), ::GetObjectA(font, sizeof description, &description));
    return description;
}

COLORREF BrushColour(HGDIOBJ brush) {
    LOGBRUSH description{};
    EXPECT_EQ(static_cast<int>(sizeof description), ::GetObjectA(brush, sizeof description, &description));
    return description.lbColor;
}

// What the parent's colour request gives back, with the state it leaves in
// the device context.
struct ColourAnswer {
    HBRUSH brush = nullptr;
    COLORREF brushColour = 0;
    COLORREF textColour = 0;
    int backgroundMode = 0;
    HGDIOBJ font = nullptr;
};

ColourAnswer AskColours(HWND parent, HWND control) {
    ColourAnswer answer;
    HDC dc = ::CreateCompatibleDC(nullptr);
    EXPECT_NE(nullptr, dc);
    answer.brush = reinterpret_cast<HBRUSH>(
        ::SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
    if (answer.brush) answer.brushColour = BrushColour(answer.brush);
    answer.textColour = ::GetTextColor(dc);
    answer.backgroundMode = ::GetBkMode(dc);
    answer.font = ::GetCurrentObject(dc, OBJ_FONT);
    ::DeleteDC(dc);
    return answer;
}

// A recorded message box.
struct ShownMessage {
    HWND owner;
    std::string text;
    std::string caption;
    unsigned flags;
};

class HyperlinkLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClass();
        window_ = ::CreateWindowExA(0, kWindowClass, "Hyperlink label test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                    400, 300, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, window_);
        control_ = MakeStatic("Label text", SS_LEFT, 10, 10, 60, 20);
        ASSERT_NE(nullptr, control_);
        PumpFor(50);
    }
    void TearDown() override {
        if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
        PumpFor(10);
    }

    HWND MakeStatic(const char* text, DWORD style, int x, int y, int width, int height) {
        return ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window_,
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr);
    }

    // Makes label record its message boxes into shown_ instead of showing them.
    void RecordMessages(HyperlinkLabel& label) {
        label.SetMessageBoxFunction([this](HWND owner, const char* text, const char* caption, unsigned flags) {
            shown_.push_back({owner, text, caption, flags});
            return IDOK;
        });
    }

    SIZE TextExtent(HFONT font, const std::string& text) {
        SIZE extent{};
        HDC dc = ::GetDC(nullptr);
        HGDIOBJ previous = ::SelectObject(dc, font);
        EXPECT_TRUE(::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent));
        ::SelectObject(dc, previous);
        ::ReleaseDC(nullptr, dc);
        return extent;
    }

    HWND window_ = nullptr;
    HWND control_ = nullptr;
    std::vector<ShownMessage> shown_;
};

TEST_F(HyperlinkLabelTest, StartsWithSystemColoursAndDefaultGuiFont) {
    HyperlinkLabel label;
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), label.TextColor());
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), label.BackgroundColor());
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), label.FlashTextColor());
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), label.HoverColor());
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), label.FlashBackgroundColor());
    EXPECT_EQ(0u, label.FrameColor());
    EXPECT_FALSE(label.ClickDisabled());
    EXPECT_FALSE(label.AutoSizeOn());
    EXPECT_FALSE(label.FlashTimerRunning());
    EXPECT_FALSE(label.HoverTimerRunning());

    ASSERT_NE(nullptr, label.Font());
    LOGFONTA system = FontDescription(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA ours = FontDescription(label.Font());
    EXPECT_STREQ(system.lfFaceName, ours.lfFaceName);
    EXPECT_EQ(system.lfHeight, ours.lfHeight);
    EXPECT_EQ(system.lfWeight, ours.lfWeight);

    ASSERT_TRUE(label.Attach(control_));
    EXPECT_EQ(control_, label.Control());
    // The control draws its text with the label's font.
    EXPECT_EQ(reinterpret_cast<LRESULT>(label.Font()), ::SendMessageA(control_, WM_GETFONT, 0, 0));
}

TEST_F(HyperlinkLabelTest, AttachRefusesWhatItCannotHold) {
    HyperlinkLabel label;
    EXPECT_FALSE(label.Attach(nullptr));
    EXPECT_FALSE(label.Attach(window_)); // a top-level window has no parent to answer colour requests
    EXPECT_EQ(nullptr, label.Control());
    ASSERT_TRUE(label.Attach(control_));
    HyperlinkLabel second;
    EXPECT_FALSE(second.Attach(control_));
    EXPECT_EQ(nullptr, second.Control());
}

TEST_F(HyperlinkLabelTest, ColourRequestOfTheParentIsAnsweredByTheLabel) {
    HWND other = MakeStatic("Other", SS_LEFT, 10, 40, 60, 20);
    ASSERT_NE(nullptr, other);
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));

    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), label.SetTextColor(RGB(10, 20, 30)));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), label.SetBackgroundColor(RGB(40, 50, 60)));
    EXPECT_EQ(RGB(10, 20, 30), label.TextColor());
    EXPECT_EQ(RGB(40, 50, 60), label.BackgroundColor());

    ColourAnswer answer = AskColours(window_, control_);
    EXPECT_NE(::GetStockObject(GRAY_BRUSH), answer.brush);
    EXPECT_EQ(RGB(40, 50, 60), answer.brushColour);
    EXPECT_EQ(RGB(10, 20, 30), answer.textColour);
    EXPECT_EQ(TRANSPARENT, answer.backgroundMode);
    EXPECT_EQ(label.Font(), answer.font);

    // A static that no label holds still gets the parent's own answer.
    EXPECT_EQ(::GetStockObject(GRAY_BRUSH), AskColours(window_, other).brush);
}

TEST_F(HyperlinkLabelTest, FlashPhaseSwapsTextAndBackgroundColours) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    label.SetTextColor(RGB(1, 1, 1));
    label.SetBackgroundColor(RGB(2, 2, 2));
    EXPECT_EQ(::GetSysColor(COLOR_BTNFACE), label.SetFlashTextColor(RGB(3, 3, 3)));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), label.SetFlashBackgroundColor(RGB(4, 4, 4)));

    EXPECT_FALSE(label.SetFlashText(true));
    EXPECT_TRUE(label.FlashTimerRunning());
    ASSERT_FALSE(label.FlashPhase());
    EXPECT_EQ(RGB(1, 1, 1), AskColours(window_, control_).textColour);
    ::SendMessageA(control_, WM_TIMER, HyperlinkLabel::kFlashTimerId, 0);
    ASSERT_TRUE(label.FlashPhase());
    ColourAnswer flashing = AskColours(window_, control_);
    EXPECT_EQ(RGB(3, 3, 3), flashing.textColour);
    EXPECT_EQ(RGB(2, 2, 2), flashing.brushColour); // background flashing is off

    EXPECT_FALSE(label.SetFlashBackground(true));
    flashing = AskColours(window_, control_);
    EXPECT_EQ(RGB(4, 4, 4), flashing.brushColour);
    EXPECT_EQ(RGB(3, 3, 3), flashing.textColour);

    ::SendMessageA(control_, WM_TIMER, HyperlinkLabel::kFlashTimerId, 0);
    ASSERT_FALSE(label.FlashPhase());
    ColourAnswer off = AskColours(window_, control_);
    EXPECT_EQ(RGB(1, 1, 1), off.textColour);
    EXPECT_EQ(RGB(2, 2, 2), off.brushColour);
}

TEST_F(HyperlinkLabelTest, RecreatedBrushesAndFontsFreeTheOldOnes) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    HBRUSH before = AskColours(window_, control_).brush;
    ASSERT_NE(nullptr, before);
    label.SetBackgroundColor(RGB(9, 9, 9));
    EXPECT_EQ(0u, ::GetObjectType(before));

    HFONT font = label.Font();
    label.SetFontBold(true);
    EXPECT_NE(font, label.Font());
    EXPECT_EQ(0u, ::GetObjectType(font));
}

TEST_F(HyperlinkLabelTest, FontSettersChangeTheControlsFont) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    auto controlFont = [this] {
        return FontDescription(reinterpret_cast<HGDIOBJ>(::SendMessageA(control_, WM_GETFONT, 0, 0)));
    };

    EXPECT_FALSE(label.SetFontBold(true));
    EXPECT_EQ(FW_BOLD, controlFont().lfWeight);
    EXPECT_TRUE(label.SetFontBold(false));
    EXPECT_EQ(FW_NORMAL, controlFont().lfWeight);

    EXPECT_FALSE(label.SetFontUnderline(true));
    EXPECT_EQ(1, controlFont().lfUnderline);
    EXPECT_TRUE(label.SetFontUnderline(false));
    EXPECT_EQ(0, controlFont().lfUnderline);

    const int initialSize = -FontDescription(::GetStockObject(DEFAULT_GUI_FONT)).lfHeight;
    EXPECT_EQ(initialSize, label.SetFontSize(20));
    EXPECT_EQ(-20, controlFont().lfHeight);
    EXPECT_EQ(20, label.SetFontSize(12));

    EXPECT_TRUE(label.SetFontName("Courier New"));
    EXPECT_STREQ("Courier New", controlFont().lfFaceName);
    // A face name longer than the system keeps is cut, never written past.
    EXPECT_TRUE(label.SetFontName(std::string(60, 'A')));
    EXPECT_EQ(std::string(31, 'A'), controlFont().lfFaceName);
    // Every setter kept what the others set.
    EXPECT_EQ(-12, controlFont().lfHeight);
    EXPECT_EQ(FW_NORMAL, controlFont().lfWeight);
}

TEST_F(HyperlinkLabelTest, SunkenTogglesTheStaticEdge) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    EXPECT_TRUE(label.SetSunken(true));
    EXPECT_NE(0, ::GetWindowLongPtrA(control_, GWL_EXSTYLE) & WS_EX_STATICEDGE);
    EXPECT_TRUE(label.SetSunken(false));
    EXPECT_EQ(0, ::GetWindowLongPtrA(control_, GWL_EXSTYLE) & WS_EX_STATICEDGE);
}

TEST_F(HyperlinkLabelTest, AutoSizeFitsTheControlToItsText) {
    ASSERT_TRUE(::SetWindowPos(control_, nullptr, 17, 23, 3, 4, SWP_NOZORDER));
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    label.SetText("A rather longer label text");
    RECT rect{};
    ::GetClientRect(control_, &rect);
    EXPECT_EQ(3, rect.right); // auto size is off
    EXPECT_FALSE(label.SetAutoSize(true));

    auto check = [&](const std::string& text) {
        char buffer[256] = {};
        ::GetWindowTextA(control_, buffer, sizeof buffer);
        EXPECT_EQ(text, buffer);
        SIZE extent = TextExtent(label.Font(), text);
        RECT window{};
        ::GetWindowRect(control_, &window);
        ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&window), 2);
        EXPECT_EQ(17, window.left) << text;
        EXPECT_EQ(23, window.top) << text;
        EXPECT_EQ(extent.cx + 5, window.right - window.left) << text;
        EXPECT_EQ(extent.cy + 2, window.bottom - window.top) << text;
    };
    check("A rather longer label text");
    label.SetText("Short");
    check("Short");
    // Any change of the window text resizes, not only SetText.
    ::SetWindowTextA(control_, "Set from elsewhere, much longer than before");
    check("Set from elsewhere, much longer than before");
    // A new font resizes too.
    label.SetFontSize(30);
    check("Set from elsewhere, much longer than before");
}

TEST_F(HyperlinkLabelTest, FlashTimerIsSharedByBothKinds) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    EXPECT_FALSE(label.SetFlashText(false)); // no change: nothing starts
    EXPECT_FALSE(label.FlashTimerRunning());

    EXPECT_FALSE(label.SetFlashText(true));
    EXPECT_TRUE(label.SetFlashText(true));
    ASSERT_TRUE(label.FlashTimerRunning());
    // The system's timer toggles the phase every 500 ms.
    bool start = label.FlashPhase();
    EXPECT_TRUE(PumpUntil(2000, [&] { return label.FlashPhase() != start; }));

    EXPECT_FALSE(label.SetFlashBackground(true));
    EXPECT_TRUE(label.SetFlashText(false));
    EXPECT_TRUE(label.FlashTimerRunning());
    start = label.FlashPhase();
    EXPECT_TRUE(PumpUntil(2000, [&] { return label.FlashPhase() != start; }));

    EXPECT_TRUE(label.SetFlashBackground(false));
    EXPECT_FALSE(label.FlashTimerRunning());
    // The system holds no flash timer any more.
    EXPECT_FALSE(::KillTimer(control_, HyperlinkLabel::kFlashTimerId));
    start = label.FlashPhase();
    PumpFor(700);
    EXPECT_EQ(start, label.FlashPhase());
}

TEST_F(HyperlinkLabelTest, LinkRunsHoverTrackingWithTheNotifyStyle) {
    HWND notifying = MakeStatic("Notify", SS_LEFT | SS_NOTIFY, 10, 40, 60, 20);
    ASSERT_NE(nullptr, notifying);
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    ASSERT_EQ(0, ::GetWindowLongPtrA(control_, GWL_STYLE) & SS_NOTIFY);

    label.SetLink("http://example.invalid/");
    EXPECT_EQ("http://example.invalid/", label.Link());
    EXPECT_TRUE(label.HoverTimerRunning());
    EXPECT_NE(0, ::GetWindowLongPtrA(control_, GWL_STYLE) & SS_NOTIFY);
    label.SetLink("");
    EXPECT_FALSE(label.HoverTimerRunning());
    EXPECT_EQ(0, ::GetWindowLongPtrA(control_, GWL_STYLE) & SS_NOTIFY);
    EXPECT_FALSE(::KillTimer(control_, HyperlinkLabel::kHoverTimerId));

    // A control made with the notify style keeps it when the link goes.
    HyperlinkLabel other;
    ASSERT_TRUE(other.Attach(notifying));
    other.SetLink("x");
    other.SetLink("");
    EXPECT_NE(0, ::GetWindowLongPtrA(notifying, GWL_STYLE) & SS_NOTIFY);
}

TEST_F(HyperlinkLabelTest, HoverTimerFollowsTheCursor) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    label.SetTextColor(RGB(0, 0, 200));
    label.SetHoverColor(RGB(200, 0, 0));
    label.SetLink("http://example.invalid/");

    RECT rect{};
    ::GetWindowRect(control_, &rect);
    ASSERT_TRUE(::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    EXPECT_TRUE(PumpUntil(2000, [&] { return label.Hovering(); }));
    EXPECT_EQ(RGB(200, 0, 0), AskColours(window_, control_).textColour);

    ASSERT_TRUE(::SetCursorPos(rect.right + 100, rect.bottom + 100));
    EXPECT_TRUE(PumpUntil(2000, [&] { return !label.Hovering(); }));
    EXPECT_EQ(RGB(0, 0, 200), AskColours(window_, control_).textColour);
}

// A copy of this test program named winhlp32.exe that carries a cursor
// resource 106, in a directory that stands for SYSTEMROOT.
class HandCursorModule {
public:
    HandCursorModule() { Build(); }
    bool ready() const { return ready_; }
    const std::string& dir() const { return dir_.path(); }

private:
    // Leaves ready() false on the first failure.
    void Build() {
        char self[MAX_PATH] = {};
        ASSERT_NE(0u, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
        const std::string path = dir_ / "winhlp32.exe";
        ASSERT_TRUE(::CopyFileA(self, path.c_str(), FALSE));

        // A 32 x 32 monochrome cursor: hot spot, header, two colours, then the
        // colour mask and the transparency mask.
        std::vector<unsigned char> cursor(4 + sizeof(BITMAPINFOHEADER) + 8 + 128 + 128, 0);
        BITMAPINFOHEADER header{};
        header.biSize = sizeof header;
        header.biWidth = 32;
        header.biHeight = 64;
        header.biPlanes = 1;
        header.biBitCount = 1;
        std::memcpy(cursor.data() + 4, &header, sizeof header);
        const std::size_t masks = 4 + sizeof header + 8;
        cursor[masks - 4] = cursor[masks - 3] = cursor[masks - 2] = 0xFF; // white
        for (std::size_t i = 0; i < 128; ++i) cursor[masks + i] = (i / 4) % 2 ? 0xF0 : 0x0F;

        // The group entry that names it: 32 x 64 (both masks), 1 plane, 1 bit.
        std::vector<unsigned char> group = {0, 0, 2, 0, 1, 0, 32, 0, 64, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0};
        const auto size = static_cast<std::uint32_t>(cursor.size());
        std::memcpy(group.data() + 14, &size, 4);

        HANDLE update = ::BeginUpdateResourceA(path.c_str(), FALSE);
        ASSERT_NE(nullptr, update);
        const WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
        ASSERT_TRUE(::UpdateResourceA(update, reinterpret_cast<LPCSTR>(RT_CURSOR), MAKEINTRESOURCEA(1), language,
                                      cursor.data(), static_cast<DWORD>(cursor.size())));
        ASSERT_TRUE(::UpdateResourceA(update, reinterpret_cast<LPCSTR>(RT_GROUP_CURSOR), MAKEINTRESOURCEA(106),
                                      language, group.data(), static_cast<DWORD>(group.size())));
        ASSERT_TRUE(::EndUpdateResourceA(update, FALSE));
        ready_ = true;
    }

    TempDir dir_;
    bool ready_ = false;
};

// Sets SYSTEMROOT (or removes it, for null) and puts the old value back.
class SystemRootOverride {
public:
    explicit SystemRootOverride(const char* value) {
        char buffer[MAX_PATH] = {};
        DWORD length = ::GetEnvironmentVariableA("SYSTEMROOT", buffer, MAX_PATH);
        had_ = length > 0 && length < MAX_PATH;
        if (had_) previous_ = buffer;
        ::SetEnvironmentVariableA("SYSTEMROOT", value);
    }
    ~SystemRootOverride() { ::SetEnvironmentVariableA("SYSTEMROOT", had_ ? previous_.c_str() : nullptr); }
    SystemRootOverride(const SystemRootOverride&) = delete;
    SystemRootOverride& operator=(const SystemRootOverride&) = delete;

private:
    bool had_ = false;
    std::string previous_;
};

TEST_F(HyperlinkLabelTest, HandCursorComesFromTheHelpProgramAndShowsOverLinks) {
    HandCursorModule module;
    ASSERT_TRUE(module.ready());
    SystemRootOverride root(module.dir().c_str());
    HyperlinkLabel label;
    ASSERT_NE(nullptr, label.HandCursor());
    ASSERT_TRUE(label.Attach(control_));

    HCURSOR arrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    ::SetCursor(arrow);
    ::SendMessageA(control_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_), hit);
    EXPECT_NE(label.HandCursor(), ::GetCursor()); // no link yet

    label.SetLink("http://example.invalid/");
    EXPECT_EQ(TRUE, ::SendMessageA(control_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_), hit));
    EXPECT_EQ(label.HandCursor(), ::GetCursor());
    ::SetCursor(arrow);
}

TEST_F(HyperlinkLabelTest, WithoutSystemRootTheLinkWorksWithTheNormalCursor) {
    std::string missing;
    {
        SystemRootOverride root(nullptr);
        HyperlinkLabel label;
        EXPECT_EQ(nullptr, label.HandCursor());
        ASSERT_TRUE(label.Attach(control_));
        RecordMessages(label);
        TempDir dir;
        missing = dir / "missing.txt";
        label.SetLink(missing);
        HCURSOR arrow = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        ::SetCursor(arrow);
        ::SendMessageA(control_, WM_SETCURSOR, reinterpret_cast<WPARAM>(control_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(arrow, ::GetCursor());
        ::SendMessageA(control_, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    ASSERT_EQ(1u, shown_.size());
    EXPECT_NE(std::string::npos, shown_[0].text.find(missing));
}

TEST_F(HyperlinkLabelTest, ClickOnAMissingFileShowsTheShellsSentence) {
    TempDir dir;
    const std::string missing = dir / "missing.txt";
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    RecordMessages(label);

    // No link: the click is ignored.
    ::SendMessageA(control_, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(shown_.empty());

    label.SetLink(missing);
    ::SendMessageA(control_, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_EQ(1u, shown_.size());
    EXPECT_EQ(control_, shown_[0].owner);
    EXPECT_EQ("Lien vers l'adresse '" + missing + "' impossible. (The specified file was not found.)", shown_[0].text);
    EXPECT_EQ("Information", shown_[0].caption);
    EXPECT_EQ(0x40u, shown_[0].flags);

    // Clicks disabled: nothing opens, nothing shows.
    EXPECT_TRUE(label.SetClickDisabled(true));
    ::SendMessageA(control_, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(1u, shown_.size());
    EXPECT_FALSE(label.SetClickDisabled(false));

    // OpenLink itself returns the shell's result.
    EXPECT_EQ(2, label.OpenLink(SW_SHOWNORMAL));
    EXPECT_EQ(2u, shown_.size());
}

TEST(HyperlinkLabelText, FailureTextCarriesTheLinkAndTheShellsSentence) {
    EXPECT_EQ("Lien vers l'adresse 'C:\\doc\\a.xyz' impossible. (There is no application associated with the given "
              "filename extension.)",
              HyperlinkLabel::FailureText("C:\\doc\\a.xyz", 31));
    EXPECT_EQ("Lien vers l'adresse '' impossible. (The operating system is out of memory or resources.)",
              HyperlinkLabel::FailureText("", 0));
}

COLORREF PixelOf(HWND control, int x, int y) {
    HDC dc = ::GetDC(control);
    COLORREF colour = ::GetPixel(dc, x, y);
    ::ReleaseDC(control, dc);
    return colour;
}

TEST_F(HyperlinkLabelTest, FramedRectangleIsPaintedWithTheFrameColour) {
    HWND framed = MakeStatic("", SS_BLACKRECT, 100, 100, 40, 30);
    ASSERT_NE(nullptr, framed);
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(framed));
    EXPECT_EQ(0u, label.SetFrameColor(RGB(255, 0, 0)));
    ::UpdateWindow(window_);
    ::UpdateWindow(framed);
    PumpFor(50);
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(framed, 20, 15));
    EXPECT_EQ(RGB(0, 0, 0), PixelOf(framed, 0, 0)); // the rectangle's outline
}

TEST_F(HyperlinkLabelTest, TextLabelsAreNotPaintedAsFrames) {
    // SS_LEFTNOWORDWRAP shares the bit 0x4 with the framed rectangle.
    HWND text = MakeStatic("", SS_LEFTNOWORDWRAP, 100, 100, 40, 30);
    ASSERT_NE(nullptr, text);
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(text));
    label.SetFrameColor(RGB(255, 0, 0));
    label.SetBackgroundColor(RGB(0, 255, 0));
    ::InvalidateRect(text, nullptr, TRUE);
    ::UpdateWindow(text);
    PumpFor(50);
    EXPECT_EQ(RGB(0, 255, 0), PixelOf(text, 20, 15));
}

TEST_F(HyperlinkLabelTest, PaintingWithEveryFeatureOnDoesNotFail) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    label.SetSunken(true);
    label.SetFontBold(true);
    label.SetFontUnderline(true);
    label.SetLink("http://example.invalid/");
    label.SetFlashText(true);
    label.SetFlashBackground(true);
    label.SetAutoSize(true);
    label.SetText("Everything at once");
    ::InvalidateRect(window_, nullptr, TRUE);
    EXPECT_TRUE(::UpdateWindow(window_));
    PumpFor(600);
    EXPECT_TRUE(::IsWindow(control_));
}

TEST_F(HyperlinkLabelTest, DetachGivesTheControlAndParentBack) {
    const LONG_PTR parentProc = ::GetWindowLongPtrA(window_, GWLP_WNDPROC);
    const LONG_PTR controlProc = ::GetWindowLongPtrA(control_, GWLP_WNDPROC);
    HWND second = MakeStatic("Second", SS_LEFT, 10, 40, 60, 20);
    ASSERT_NE(nullptr, second);
    HFONT stock = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    ::SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(stock), FALSE);
    {
        HyperlinkLabel first;
        ASSERT_TRUE(first.Attach(control_));
        first.SetLink("x");
        first.SetFlashText(true);
        {
            HyperlinkLabel other;
            ASSERT_TRUE(other.Attach(second));
            other.SetBackgroundColor(RGB(7, 7, 7));
            EXPECT_NE(parentProc, ::GetWindowLongPtrA(window_, GWLP_WNDPROC));
        }
        // The other label is gone; the first still answers for its control.
        EXPECT_EQ(::GetStockObject(GRAY_BRUSH), AskColours(window_, second).brush);
        first.SetBackgroundColor(RGB(8, 8, 8));
        EXPECT_EQ(RGB(8, 8, 8), AskColours(window_, control_).brushColour);
    }
    EXPECT_EQ(parentProc, ::GetWindowLongPtrA(window_, GWLP_WNDPROC));
    EXPECT_EQ(controlProc, ::GetWindowLongPtrA(control_, GWLP_WNDPROC));
    EXPECT_EQ(reinterpret_cast<LRESULT>(stock), ::SendMessageA(control_, WM_GETFONT, 0, 0));
    EXPECT_EQ(0, ::GetWindowLongPtrA(control_, GWL_STYLE) & SS_NOTIFY);
    EXPECT_FALSE(::KillTimer(control_, HyperlinkLabel::kFlashTimerId));
    EXPECT_FALSE(::KillTimer(control_, HyperlinkLabel::kHoverTimerId));
    EXPECT_EQ(::GetStockObject(GRAY_BRUSH), AskColours(window_, control_).brush);
}

TEST_F(HyperlinkLabelTest, ControlDestroyedBeforeTheLabel) {
    HyperlinkLabel label;
    ASSERT_TRUE(label.Attach(control_));
    label.SetLink("x");
    label.SetFlashText(true);
    ASSERT_TRUE(::DestroyWindow(window_));
    window_ = nullptr;
    EXPECT_EQ(nullptr, label.Control());
    EXPECT_FALSE(label.HoverTimerRunning());
    EXPECT_FALSE(label.FlashTimerRunning());
    // Setters on a label without a control change only its state.
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), label.SetTextColor(RGB(1, 2, 3)));
    label.SetText("nothing to hold it");
}

} // namespace
