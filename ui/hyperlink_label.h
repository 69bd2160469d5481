// HyperlinkLabel: an existing static control given its own colours and font,
// optional flashing of its text or background, an optional link opened with
// the shell when the text is clicked, and a hand cursor over a link. Windows
// code only.
//
// The label takes over a static control that already exists (Attach) by
// replacing its window procedure, and hooks its parent's window procedure so
// that the parent's colour request for this control (WM_CTLCOLORSTATIC) is
// answered by the label: the parent passes it on as the reflected message
// kReflectedColourRequest. One parent may carry any number of labels.
//
// The label must be used on the thread that owns the control. When the
// control is destroyed first, the label lets go of it by itself; when the
// label is destroyed first, the control gets its own procedure and font back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct HWND__;
struct HDC__;
struct HICON__;
struct HFONT__;
struct HBRUSH__;

// A colour as the system writes it: 0x00BBGGRR.
using LabelColour = std::uint32_t;

class HyperlinkLabel {
public:
    // The parent's WM_CTLCOLORSTATIC as it reaches the label (0x2000 + 0x138):
    // wParam is the device context, lParam the control; the result is the
    // background brush.
    static constexpr unsigned kReflectedColourRequest = 0x2138;
    static constexpr std::uintptr_t kFlashTimerId = 1;
    static constexpr unsigned kFlashIntervalMs = 500;
    static constexpr std::uintptr_t kHoverTimerId = 2;
    static constexpr unsigned kHoverIntervalMs = 200;

    // Shows a message box; returns its answer. Replaceable so that callers
    // without a user (tests) can record the message instead.
    using MessageBoxFunction = std::function<int(HWND__* owner, const char* text, const char* caption, unsigned flags)>;

    // Builds the font from the system's default GUI font, reads the system
    // colours, creates both brushes and loads the hand cursor.
    HyperlinkLabel();
    ~HyperlinkLabel(); // Detach, then frees the font, the brushes and the cursor copy
    HyperlinkLabel(const HyperlinkLabel&) = delete;
    HyperlinkLabel& operator=(const HyperlinkLabel&) = delete;

    // Takes over the static control: its procedure, the label's font, the
    // link's notify style and hover timer when a link is already set, and the
    // auto size. False when control is not a window, has no parent, or another
    // label already holds it; the label then holds nothing.
    bool Attach(HWND__* control);
    // Gives the control back as it was found (procedure, font, notify style)
    // and stops both timers. Safe to call any number of times.
    void Detach();
    HWND__* Control() const { return control_; }

    // Colour setters: return the previous colour and repaint.
    LabelColour SetTextColor(LabelColour colour);
    LabelColour SetBackgroundColor(LabelColour colour); // recreates the background brush
    LabelColour SetFlashTextColor(LabelColour colour);
    LabelColour SetHoverColor(LabelColour colour);
    LabelColour SetFlashBackgroundColor(LabelColour colour); // recreates the flash brush
    LabelColour SetFrameColor(LabelColour colour);

    // Font setters rebuild the font from its description, give it to the
    // control and repaint.
    bool SetFontBold(bool bold);               // weight 700 or 400; returns whether it was bold
    bool SetFontUnderline(bool underline);     // returns the previous flag
    int SetFontSize(int size);                 // height = -size; returns the previous size
    bool SetFontName(const std::string& face); // at most 31 characters kept; returns true

    // Adds or removes the static-edge extended style and redraws the frame.
    bool SetSunken(bool sunken);

    // Flashing with one timer (id 1, every 500 ms) shared by both kinds: it
    // runs while either kind is on. Return the previous value.
    bool SetFlashText(bool on);
    bool SetFlashBackground(bool on);

    // Stores the link. A non-empty link gives the control the notify style
    // (so that it receives mouse messages) and runs the hover timer (id 2,
    // every 200 ms); an empty one stops the timer and gives the control its
    // notify style back as it was before. Does not repaint.
    void SetLink(const std::string& link);
    // Returns the new value. Does not repaint.
    bool SetClickDisabled(bool disabled);
    // Returns the previous value; when switched on, resizes at once.
    bool SetAutoSize(bool autoSize);
    // Sets the window text (nothing without a control); the control is resized
    // when auto size is on (any change of the window text resizes it then).
    void SetText(const std::string& text);

    // Opens the link with the shell ("open", no owner) and the show mode.
    // Returns the shell's result: above 32 is success. Otherwise shows
    // FailureText in a message box owned by the control, caption
    // "Information", information icon, and returns the result.
    std::intptr_t OpenLink(int showMode);
    // The message for a link that the shell could not open with result.
    static std::string FailureText(const std::string& link, std::intptr_t result);
    void SetMessageBoxFunction(MessageBoxFunction function) { messageBox_ = std::move(function); }

    // Resizes the control to its window text measured with the label's font:
    // width + 5, height + 2; the top-left corner stays where it is.
    void AutoSize();

    // State, for callers and tests.
    LabelColour TextColor() const { return textColour_; }
    LabelColour BackgroundColor() const { return backgroundColour_; }
    LabelColour FlashTextColor() const { return flashTextColour_; }
    LabelColour HoverColor() const { return hoverColour_; }
    LabelColour FlashBackgroundColor() const { return flashBackgroundColour_; }
    LabelColour FrameColor() const { return frameColour_; }
    const std::string& Link() const { return link_; }
    bool ClickDisabled() const { return clickDisabled_; }
    bool AutoSizeOn() const { return autoSize_; }
    bool Hovering() const { return hover_; }
    bool FlashPhase() const { return flashPhase_; }
    bool FlashingText() const { return flashText_; }
    bool FlashingBackground() const { return flashBackground_; }
    bool FlashTimerRunning() const { return flashTimer_ != -1; }
    bool HoverTimerRunning() const { return hoverTimer_ != -1; }
    HFONT__* Font() const;
    HICON__* HandCursor() const; // null when the cursor could not be loaded

private:
    struct Resources; // the font, the two brushes and the cursor copy, each owning its handle

    static std::intptr_t __stdcall ControlProc(HWND__* window, unsigned message, std::uintptr_t wParam,
                                               std::intptr_t lParam);
    static std::intptr_t __stdcall ParentProc(HWND__* window, unsigned message, std::uintptr_t wParam,
                                              std::intptr_t lParam);
    std::intptr_t HandleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t CallOriginal(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    HBRUSH__* OnColourRequest(HDC__* dc);
    void OnTimer(std::uintptr_t id);
    bool PaintFrame();
    void RebuildFont();
    void Repaint();
    void RepaintNow();
    void StartHoverTracking();
    void StopHoverTracking();
    bool UpdateFlashing(bool& kind, bool on, bool otherOn);

    bool clickDisabled_ = false;
    bool hover_ = false;
    int flashTimer_ = -1;
    int hoverTimer_ = -1;
    std::string link_;
    bool autoSize_ = false;
    LabelColour textColour_ = 0;
    LabelColour backgroundColour_ = 0;
    LabelColour flashTextColour_ = 0;
    LabelColour hoverColour_ = 0;
    LabelColour flashBackgroundColour_ = 0;
    LabelColour frameColour_ = 0;
    bool flashPhase_ = false;
    bool flashText_ = false;
    bool flashBackground_ = false;

    std::unique_ptr<Resources> resources_;
    MessageBoxFunction messageBox_;

    HWND__* control_ = nullptr;
    HWND__* parent_ = nullptr;
    std::intptr_t originalProc_ = 0;
    HFONT__* originalFont_ = nullptr;
    bool addedNotifyStyle_ = false;
};
