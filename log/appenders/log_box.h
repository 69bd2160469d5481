// LogBox: an existing multi-line edit control made into a log view that the
// program appends text to, formatted printf-style, and that keeps its last
// line in view. Windows code only: the POSIX build neither compiles nor
// includes this header.
//
// The box takes over the edit control (attach) by replacing its window
// procedure, as the window classes of ui/ do. Over the control's own
// behaviour it changes two things:
//   - characters typed by the user (WM_CHAR with its key flags set) are
//     swallowed, so the log cannot be edited from the keyboard, while
//     characters sent by the program with no flags (lParam 0) are still
//     typed; key presses themselves (WM_KEYDOWN, WM_KEYUP) keep the control's
//     handling, so that the caret keys and copying still work;
//   - a scroll to the last line can be requested for later
//     (requestScrollToEnd): a timer of the control carries it out once the
//     message loop runs again, and stops.
//
// Texts are UTF-8; they reach the control as UTF-16 through the system's
// wide-character calls, so what is shown does not depend on the process's
// code page.
//
// The box must be used on the thread that owns the control. When the control
// is destroyed first, the box lets go of it by itself; when the box is
// destroyed first, the control gets its own procedure back.
#pragma once

#include "common/string_format.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct HWND__;

class LogBox {
public:
    // appendFormat and appendLineFormat format into a buffer of this many
    // bytes, its terminating NUL included: a longer result is cut to at most
    // kFormatBufferSize - 1 bytes, before a UTF-8 sequence that would be cut
    // in two.
    static constexpr std::size_t kFormatBufferSize = 2000;
    // The timer that carries out a requested scroll, on the control.
    static constexpr std::uintptr_t kScrollTimerId = 0x4C42;
    static constexpr unsigned kScrollDelayMs = 50;

    LogBox() = default;
    ~LogBox(); // detach
    LogBox(const LogBox&) = delete;
    LogBox& operator=(const LogBox&) = delete;

    // Takes over control, which must be a multi-line edit control ("Edit"
    // class, ES_MULTILINE) not held by another box. False otherwise; the box
    // then holds nothing.
    bool attach(HWND__* control);
    // Gives the control its own procedure back and stops a pending scroll.
    // Safe to call any number of times.
    void detach();
    HWND__* control() const { return control_; }

    // Appends text to the control's whole text and sets it back; with convert,
    // a carriage return is put before every line feed of text that has none
    // (the edit control's line break is "\r\n"). Then, while the control still exists
    // (a handler of its change notification may have destroyed it), scrolls
    // to the last line. Nothing without a control.
    void appendText(const std::string& text, bool convert);
    // The printf-style result (cut as kFormatBufferSize says), appended with
    // conversion.
    void appendFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    // The same, followed by a line break.
    void appendLineFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);

    // Scrolls the control so that its last line is in view: down by its line
    // count. Nothing without a control.
    void scrollToEnd();
    // Asks for scrollToEnd once the message loop runs again (after kScrollDelayMs),
    // for when scrolling at once would be undone (the control about to be
    // resized or shown). Requests before that moment make one scroll.
    void requestScrollToEnd();
    bool scrollPending() const { return scrollPending_; }

    // "LogBoxHandle:" and the control's window handle as eight uppercase
    // hexadecimal digits ("%08lX"; a handle's 32 significant bits), for
    // handing the box to code that finds it by handle. The handle is 0
    // without a control.
    std::string handleText() const;

private:
    static std::intptr_t __stdcall ControlProc(HWND__* window, unsigned message, std::uintptr_t wParam,
                                               std::intptr_t lParam);
    std::intptr_t handleMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    std::intptr_t callOriginal(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void stopScrollTimer();

    HWND__* control_ = nullptr;
    std::intptr_t originalProc_ = 0;
    bool scrollPending_ = false;
};
