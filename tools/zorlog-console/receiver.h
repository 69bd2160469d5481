// The receiving loop: datagrams from a bound socket to an output, one write
// per datagram, until a count is reached, a stop is asked for or something
// fails.
#pragma once

#include "common/udp_socket.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace zorlog_console {

// Where the received bytes go.
class RecordOutput {
public:
    virtual ~RecordOutput() = default;
    // Writes all size bytes before returning (nothing is kept back, so a
    // reader sees each datagram at once); false when the output takes no more.
    virtual bool write(const char* data, std::size_t size) = 0;
};

struct ReceiveOptions {
    bool stripEscapes = false; // see escape_stripper.h
    std::uint64_t count = 0;   // end after this many datagrams; 0: no limit
};

enum class ReceiveEnd { CountReached, Stopped, ReceiveFailed, OutputFailed };

struct ReceiveOutcome {
    ReceiveEnd end = ReceiveEnd::Stopped;
    std::uint64_t datagrams = 0; // received, empty ones included
    // An ESC byte went to the output: the terminal may be left coloured.
    bool escapeWritten = false;
    int socketError = 0; // ReceiveFailed: the socket layer's code
};

// Longest wait for a datagram before stopRequested is asked again. On POSIX
// a signal cuts the wait short; the limit covers the moment between the
// question and the wait, and the Windows control handler, which runs on a
// thread of its own and cannot cut the wait.
constexpr int kStopCheckIntervalMs = 200;

// Receives on socket (open and bound) and writes each datagram's bytes to
// output unchanged, or without escape sequences. Datagrams may hold any
// bytes, NUL included, and any length up to the IPv4 maximum; an empty one
// writes nothing but counts. stopRequested is asked before every wait and
// after every datagram; it may be empty (never stop).
ReceiveOutcome ReceiveRecords(UdpSocket& socket, RecordOutput& output, const ReceiveOptions& options,
                              const std::function<bool()>& stopRequested);

} // namespace zorlog_console
