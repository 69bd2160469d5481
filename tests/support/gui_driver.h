// Driving another process's windows from a test, as a user would: find a
// window by its caption, read its texts, press its buttons.
#pragma once

#include <string>
#include <vector>

struct DrivenWindow {
    void* handle = nullptr;
    std::string caption;
    std::vector<std::string> texts;   // texts of its static controls, in order
    std::vector<std::string> buttons; // captions of its buttons, in order
    explicit operator bool() const { return handle != nullptr; }
};

// A window known by its handle only, to press its buttons.
DrivenWindow WindowOf(void* handle);

// Waits up to timeoutMs for a visible top-level window with this caption
// that is not `other`, and reads it.
DrivenWindow WaitForWindow(const std::string& caption, int timeoutMs = 15000, void* other = nullptr);

// The longest static text of a message box: its message.
std::string MessageText(const DrivenWindow& window);

// Presses the button with this control id (1 is OK) and waits until the
// window has gone.
bool PressButton(const DrivenWindow& window, int id, int timeoutMs = 10000);

// Controls of a window of any process, by control id.
std::string ControlText(void* window, int id);
bool IsChecked(void* window, int id);
bool IsControlVisible(void* window, int id);
bool IsControlEnabled(void* window, int id);
// Clicks a button or check box and returns once it has been handled.
void ClickControl(void* window, int id);
// Replaces the text of an edit (which notifies its dialog of the change).
void TypeText(void* window, int id, const std::string& text);

// Saves a picture of the window as a BMP file.
bool SaveScreenshot(const DrivenWindow& window, const std::string& path);
