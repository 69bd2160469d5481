// zorlog-console's standard output and error.
//
// Records are bytes and go out as bytes: nothing is translated on any
// platform. On Windows they bypass the C runtime, whose text mode would turn
// the CR LF that the senders put at each line end into CR CR LF. The
// program's own messages are text with "\n" line ends, written as CR LF on
// Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorlog_console {

enum class StandardStream { Output, Error };

// Writes all size bytes, in as many calls as the stream needs; false when it
// takes no more (a closed pipe, a full disk).
bool WriteBytes(StandardStream stream, const char* data, std::size_t size);

// Writes a message or the usage text; failures are ignored, there being
// nowhere left to report them.
void WriteText(StandardStream stream, std::string_view text);

// Standard output made ready for records while the object lives.
//
// On a Windows console, escape sequences are interpreted only once the
// console is asked to (Windows 10 and later; the mode is restored at the
// end), and the output code page is set to UTF-8 for the same time, the
// logging framework's texts being UTF-8. A console that cannot interpret
// the sequences would print them as characters: the program then removes
// them, as with --no-color.
class TerminalSession {
public:
    TerminalSession();
    ~TerminalSession();
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Standard output is a terminal (a Windows console).
    bool isTerminal() const { return terminal_; }
    // Escape sequences written to standard output are interpreted or, for a
    // file or pipe, kept for whoever reads it.
    bool passesEscapes() const { return passesEscapes_; }

private:
    bool terminal_ = false;
    bool passesEscapes_ = true;
    // What the Windows console had before; unused elsewhere.
    [[maybe_unused]] bool restoreMode_ = false;
    [[maybe_unused]] std::uint32_t savedMode_ = 0;
    [[maybe_unused]] std::uint32_t savedCodePage_ = 0;
};

} // namespace zorlog_console
