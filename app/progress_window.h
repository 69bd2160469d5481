// The small window shown while files are extracted: the name of the file
// being extracted and a bar of the bytes done. Windows code only; it must be
// used on one thread, which it keeps responsive by dispatching that thread's
// pending messages after each update.
#pragma once

#include <cstdint>
#include <string>

struct HWND__;

// Resource and control ids of the window's dialog template.
inline constexpr int kProgressDialogTemplate = 130;
inline constexpr int kProgressFileLabel = 1100;
inline constexpr int kProgressBar = 1101;

class ProgressWindow {
public:
    // The bar's range: the share of bytes done, in thousandths.
    static constexpr int kBarRange = 1000;

    ProgressWindow() = default;
    ~ProgressWindow(); // closes the window
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Opens the window on the first call (false when it cannot be created),
    // then shows caption, fileName and doneBytes of totalBytes (a total of 0
    // shows a full bar).
    bool Show(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
              std::uint64_t totalBytes);
    // Destroys the window; nothing happens when none is open.
    void Close();
    HWND__* Window() const { return window_; }

    // The bar position for doneBytes of totalBytes, 0 to kBarRange.
    static int BarPosition(std::uint64_t doneBytes, std::uint64_t totalBytes);

private:
    HWND__* window_ = nullptr;
    // What the window shows, so that only changes are sent to it.
    std::string caption_, fileName_;
    int barPosition_ = -1;
};
