#include "tools/zorlog-console/receiver.h"

#include "tools/zorlog-console/escape_stripper.h"

#include <cstring>
#include <vector>

namespace zorlog_console {

namespace {

// Room for the largest IPv4 datagram (65,507 bytes) with space to spare: a
// datagram never arrives cut.
constexpr std::size_t kBufferSize = 65536;

} // namespace

ReceiveOutcome ReceiveRecords(UdpSocket& socket, RecordOutput& output, const ReceiveOptions& options,
                              const std::function<bool()>& stopRequested) {
    ReceiveOutcome outcome;
    std::vector<char> buffer(kBufferSize);
    EscapeStripper stripper;
    for (;;) {
        if (options.count != 0 && outcome.datagrams >= options.count) {
            outcome.end = ReceiveEnd::CountReached;
            return outcome;
        }
        if (stopRequested && stopRequested()) {
            outcome.end = ReceiveEnd::Stopped;
            return outcome;
        }
        std::size_t size = 0;
        const UdpSocket::Receive received = socket.receive(buffer.data(), buffer.size(), kStopCheckIntervalMs, size);
        if (received == UdpSocket::Receive::TimedOut) continue;
        if (received == UdpSocket::Receive::Failed) {
            outcome.socketError = LastSocketError();
            outcome.end = ReceiveEnd::ReceiveFailed;
            return outcome;
        }
        ++outcome.datagrams;
        if (options.stripEscapes)
            size = stripper.strip(buffer.data(), size);
        else if (std::memchr(buffer.data(), 0x1B, size) != nullptr)
            outcome.escapeWritten = true;
        if (size != 0 && !output.write(buffer.data(), size)) {
            outcome.end = ReceiveEnd::OutputFailed;
            return outcome;
        }
    }
}

} // namespace zorlog_console
