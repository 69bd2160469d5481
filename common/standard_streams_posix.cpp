#include "common/standard_streams.h"

#include <cerrno>
#include <unistd.h>

namespace {

int Descriptor(StandardStream stream) { return stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO; }

} // namespace

bool IsTerminal(StandardStream stream) { return ::isatty(Descriptor(stream)) != 0; }

bool WriteBytes(StandardStream stream, const char* data, std::size_t size) {
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

void WriteCodePageText(StandardStream stream, std::string_view text) { WriteBytes(stream, text.data(), text.size()); }

TerminalSession::TerminalSession() : terminal_(IsTerminal(StandardStream::Output)) {}

TerminalSession::~TerminalSession() = default;
