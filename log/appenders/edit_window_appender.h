// Writes each record to the end of a multi-line edit control
// ("EditWindowAppender"), for programs that show their log in a window.
// Windows only: the POSIX build neither compiles nor includes this header.
//
// The control is named by its window handle (the "HWND" parameter, or
// setWindow). For every text written, the appender
//   - drops the text silently while no control is set or the handle no longer
//     names a window (append still succeeds: a closed log window must not
//     make the program's logging fail);
//   - makes the control read-only, so that the user cannot edit the log;
//   - when "MaxLines" is not -1 and the control shows at least that many
//     lines, removes its first line (everything up to and including the first
//     line feed), one line per text;
//   - appends the text with every lone "\n" turned into "\r\n", the line
//     break an edit control shows ("\r\n" stays as it is);
//   - with "AutoScroll", scrolls the control down by its line count so that
//     the last line is in view.
// Lines are counted as the control counts them (EM_GETLINECOUNT): with word
// wrap on, a long record counts as several lines.
//
// Texts are UTF-8. They reach the control as UTF-16 through the system's
// wide-character calls, and the control's existing text is read and written
// back as UTF-16, so what is shown does not depend on the process's code page.
//
// Threads: every step is a window message sent with SendMessage while the
// appender's lock is held. From a thread other than the one that owns the
// control, each message waits until the owner's message loop takes it. The
// owner thread must therefore keep pumping messages while other threads log
// here, and must not itself log to this appender (or wait for a thread that
// does) while another thread may be inside it: it would wait for the lock
// that the other thread holds while that thread waits for the owner's loop.
// The parameters are atomics and need no lock, so the owner thread may change
// them at any time.
#pragma once

#include "log/appender.h"

#include <atomic>
#include <cstdint>

struct HWND__;

class EditWindowAppender : public Appender {
public:
    EditWindowAppender(std::string name, Priority threshold) : Appender(std::move(name), threshold) {}
    EditWindowAppender() : EditWindowAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;
    // After the base class's names:
    //   "HWND": the control's window handle as a decimal number (0 for none);
    //   "MaxLines": a decimal number, -1 (the default) for no limit; read like
    //     a C-library integer conversion, low 32 bits kept;
    //   "AutoScroll": "true" in any case or "1" for true (the default).
    bool setParam(const std::string& name, const std::string& value) override;
    // "MaxLines" as the decimal text of its 32 bits ("%u": -1 reads
    // "4294967295"), "AutoScroll" as "true" or "false"; "HWND" is not
    // reported (the empty text), as a handle means nothing outside the
    // running process.
    std::string getParam(const std::string& name) const override;

    HWND__* window() const { return reinterpret_cast<HWND__*>(window_.load()); }
    void setWindow(HWND__* window) { window_.store(reinterpret_cast<std::uintptr_t>(window)); }
    bool autoScroll() const { return autoScroll_.load(); }
    std::int32_t maxLines() const { return maxLines_.load(); }

protected:
    // Nothing to acquire, and no header: the control shows the records only.
    // The footer is written on close.
    TargetOpening openTarget(std::string& error) override;
    void write(std::string_view text, const LoggingEvent* event) override;

private:
    std::atomic<std::uintptr_t> window_{0};
    std::atomic<bool> autoScroll_{true};
    std::atomic<std::int32_t> maxLines_{-1};
};
