#include "tools/zorpack/console.h"

#include <cerrno>
#include <unistd.h>

namespace zorpack {

namespace {

int Descriptor(StandardStream stream) { return stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO; }

} // namespace

bool IsTerminal(StandardStream stream) { return ::isatty(Descriptor(stream)) != 0; }

void WriteStandardStream(StandardStream stream, const char* data, std::size_t size) {
    // A pipe takes at most its buffer at once: write the rest as it drains.
    while (size != 0) {
        const ssize_t put = ::write(Descriptor(stream), data, size);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return; // nowhere to report it: the output is gone
        data += put;
        size -= static_cast<std::size_t>(put);
    }
}

} // namespace zorpack
