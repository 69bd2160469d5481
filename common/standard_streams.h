// The process's standard output and error, written without the C runtime,
// whose text mode would turn a CR LF already in the data into CR CR LF.
//
// Three kinds of writes:
// - bytes go out exactly as given on every platform (log records received
//   over the network, passed on as their senders wrote them);
// - UTF-8 text goes out with CR LF line ends on Windows and, to a Windows
//   console, as UTF-16, so that names show as they are whatever the
//   console's code page;
// - code-page text (messages that quote command-line arguments, which a
//   Windows program receives in the ANSI code page) goes out as bytes, with
//   CR LF line ends on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

enum class StandardStream { Output, Error };

// True when stream is a terminal (a Windows console): a character device
// that is no console (NUL, a printer) is not one.
bool IsTerminal(StandardStream stream);

// Writes all size bytes unchanged, in as many calls as the stream needs: a
// pipe takes at most its buffer at once, and a Windows console is given
// pieces of at most 8 KiB, cut between UTF-8 characters. False when the
// stream takes no more (a closed pipe, a full disk).
bool WriteBytes(StandardStream stream, const char* data, std::size_t size);

// Writes UTF-8 text whose lines end with "\n". On Windows each "\n" that does
// not already follow a CR goes out as CR LF, and a console receives the text
// as UTF-16 in one call. Failures are ignored: there is nowhere left to
// report them.
void WriteText(StandardStream stream, std::string_view text);

// Writes text in the console's code page as bytes, every "\n" as CR LF on
// Windows. Failures are ignored.
void WriteCodePageText(StandardStream stream, std::string_view text);

// Standard output made ready for log records while the object lives.
//
// On a Windows console, escape sequences are interpreted only once the
// console is asked to (Windows 10 and later; the mode is restored at the
// end), and the output code page is set to UTF-8 for the same time, the
// logging framework's texts being UTF-8. A console that cannot interpret
// the sequences would print them as characters: passesEscapes() then tells
// the caller to remove them.
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
