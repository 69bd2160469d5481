// Records per second through UDPConsoleAppender to a loopback receiver, next
// to a bare loop that sends the same texts with sendto, measured in the same
// run. A receiver thread drains the port throughout, so that neither side
// sends into a full queue; how many datagrams it saw is printed beside the
// figures (loopback may drop some under load, which costs the senders alike).
//
// Timings are wall-clock medians of several rounds, the two cases interleaved
// within each round. Nothing here judges the figures.
#include "common/udp_socket.h"
#include "log/appenders/udp_console_appender.h"
#include "log/layouts/pattern_layout.h"
#include "log/logger.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kRecords = 200'000;
constexpr int kRounds = 5;

using Clock = std::chrono::steady_clock;

std::string MessageOf(std::uint32_t i) {
    char text[128];
    std::snprintf(text, sizeof text, "user %u opened /srv/data/file-%06u.dat in %u ms (cache hit)", 10000 + i % 90000,
                  (i * 7919u) % 1000000, 1 + i % 97);
    return text;
}

// Counts what arrives at a loopback port until told to stop.
class Receiver {
public:
    Receiver() {
        if (!socket_.open() || !socket_.bind(kLoopbackIPv4, 0)) {
            std::fprintf(stderr, "udp_log_bench: cannot bind a loopback port\n");
            std::exit(1);
        }
        thread_ = std::thread([this] { run(); });
    }
    ~Receiver() {
        stop_ = true;
        thread_.join();
    }
    std::uint16_t port() const { return socket_.localPort(); }
    std::uint64_t datagrams() const { return datagrams_; }

private:
    void run() {
        std::vector<char> buffer(65536);
        std::size_t size = 0;
        while (!stop_)
            if (socket_.receive(buffer.data(), buffer.size(), 50, size) == UdpSocket::Receive::Datagram) ++datagrams_;
    }

    UdpSocket socket_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> datagrams_{0};
    std::thread thread_;
};

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Through a logger, a pattern layout and the appender.
double Ours(std::uint16_t port, const std::vector<std::string>& messages) {
    PatternLayout layout;
    layout.setConversionPattern("%-5p %c - %m%n");
    UDPConsoleAppender appender("bench", LogPriority::kNotSet);
    appender.setParam("hosts", "127.0.0.1");
    appender.setParam("port", std::to_string(port));
    appender.setLayout(&layout);
    std::string error;
    if (!appender.start(error)) {
        std::fprintf(stderr, "udp_log_bench: %s\n", error.c_str());
        std::exit(1);
    }
    Logger logger("bench", LogPriority::kInfo, false);
    logger.addAppender(&appender);
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kRecords; ++i) logger.info(messages[i]);
    const double seconds = Seconds(start);
    return seconds;
}

// The same texts, formatted by snprintf with "\r\n" already in place, one
// sendto each.
double Raw(std::uint16_t port, const std::vector<std::string>& messages) {
    UdpSocket socket;
    socket.open();
    char text[256];
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        const int size = std::snprintf(text, sizeof text, "INFO  bench - %s\r\n", messages[i].c_str());
        socket.sendTo(kLoopbackIPv4, port, text, static_cast<std::size_t>(size));
    }
    return Seconds(start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main() {
    std::vector<std::string> messages;
    messages.reserve(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) messages.push_back(MessageOf(i));

    Receiver receiver;
    std::vector<double> ours, raw;
    for (int round = 0; round < kRounds; ++round) {
        std::fprintf(stderr, "round %d/%d\n", round + 1, kRounds);
        ours.push_back(Ours(receiver.port(), messages));
        raw.push_back(Raw(receiver.port(), messages));
    }
    const double oursRate = kRecords / Median(ours);
    const double rawRate = kRecords / Median(raw);
    std::printf("\nUDP target: %u records of ~%zu bytes to a loopback receiver, median of %d rounds\n\n", kRecords,
                messages[12345].size() + std::size("INFO  bench - \r\n") - 1, kRounds);
    std::printf("| case: peer | ours | peer | ratio (ours/peer) |\n|---|---|---|---|\n");
    std::printf(
        "| UDPConsoleAppender: raw snprintf + sendto | %.0f k rec/s (%.0f ns) | %.0f k rec/s (%.0f ns) | %.2fx |\n",
        oursRate / 1e3, 1e9 / oursRate, rawRate / 1e3, 1e9 / rawRate, oursRate / rawRate);
    std::printf("\nDatagrams the receiver counted: %llu of %llu sent\n\n",
                static_cast<unsigned long long>(receiver.datagrams()),
                static_cast<unsigned long long>(2ull * kRounds * kRecords));
    return 0;
}
