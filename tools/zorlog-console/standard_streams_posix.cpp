#include "tools/zorlog-console/standard_streams.h"

#include <cerrno>
#include <unistd.h>

namespace zorlog_console {

namespace {

int Descriptor(StandardStream stream) { return stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO; }

} // namespace

bool WriteBytes(StandardStream stream, const char* data, std::size_t size) {
    // A pipe takes at most its buffer at once: write the rest as it drains.
    while (size != 0) {
        const ssize_t put = ::write(Descriptor(stream), data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

void WriteText(StandardStream stream, std::string_view text) { WriteBytes(stream, text.data(), text.size()); }

TerminalSession::TerminalSession() : terminal_(::isatty(STDOUT_FILENO) != 0) {}

TerminalSession::~TerminalSession() = default;

} // namespace zorlog_console
