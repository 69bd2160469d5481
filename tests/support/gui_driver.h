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

// Waits up to timeoutMs for a visible top-level window with this caption
// that is not `other`, and reads it.
DrivenWindow WaitForWindow(const std::string& caption, int timeoutMs = 15000, void* other = nullptr);

// The longest static text of a message box: its message.
std::string MessageText(const DrivenWindow& window);

// Presses the button with this control id (1 is OK) and waits until the
// window has gone.
bool PressButton(const DrivenWindow& window, int id, int timeoutMs = 10000);

// Saves a picture of the window as a BMP file.
bool SaveScreenshot(const DrivenWindow& window, const std::string& path);
