// The receiving loop with real datagrams over loopback and an output that
// records each write: what is written per datagram, when the loop ends, and
// what it reports about colours.
#include "tools/zorlog-console/receiver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using zorlog_console::ReceiveEnd;
using zorlog_console::ReceiveOptions;
using zorlog_console::ReceiveOutcome;
using zorlog_console::ReceiveRecords;
using zorlog_console::RecordOutput;

class RecordingOutput : public RecordOutput {
public:
    bool write(const char* data, std::size_t size) override {
        writes.emplace_back(data, size);
        if (afterWrite) afterWrite();
        return writes.size() < failFrom;
    }

    std::vector<std::string> writes;
    std::size_t failFrom = SIZE_MAX; // the write from which on false is returned
    std::function<void()> afterWrite;
};

class ZorlogConsoleReceiver : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartSocketLibrary());
        ASSERT_TRUE(receiver_.open());
        ASSERT_TRUE(receiver_.bind(kLoopbackIPv4, 0));
        port_ = receiver_.localPort();
        ASSERT_NE(port_, 0);
        ASSERT_TRUE(sender_.open());
    }

    void Send(const std::string& datagram) {
        ASSERT_EQ(sender_.sendTo(kLoopbackIPv4, port_, datagram.data(), datagram.size()),
                  static_cast<long>(datagram.size()));
    }

    // Without a stop of the test's own, the loop is stopped after a minute,
    // so that a count never reached fails the test instead of hanging it.
    ReceiveOutcome Receive(const ReceiveOptions& options, std::function<bool()> stop = {}) {
        if (!stop) {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
            stop = [giveUp] { return std::chrono::steady_clock::now() >= giveUp; };
        }
        return ReceiveRecords(receiver_, output_, options, stop);
    }

    static ReceiveOptions Counting(std::uint64_t count, bool strip = false) {
        ReceiveOptions options;
        options.count = count;
        options.stripEscapes = strip;
        return options;
    }

    UdpSocket receiver_;
    UdpSocket sender_;
    std::uint16_t port_ = 0;
    RecordingOutput output_;
};

TEST_F(ZorlogConsoleReceiver, WritesEachDatagramAsItCameAndCountsEmptyOnes) {
    std::string largest(65507, '\0');
    for (std::size_t i = 0; i < largest.size(); ++i) largest[i] = static_cast<char>(i * 7 % 256);
    std::replace(largest.begin(), largest.end(), '\033', 'x'); // no colour anywhere
    const std::string binary("\0\r\n\xFF\x1A", 5);
    for (const std::string& datagram : {std::string("INFO  started\r\n"), std::string(), binary, largest})
        Send(datagram);
    const ReceiveOutcome outcome = Receive(Counting(4));
    EXPECT_EQ(outcome.end, ReceiveEnd::CountReached);
    EXPECT_EQ(outcome.datagrams, 4u);
    EXPECT_FALSE(outcome.escapeWritten);
    // The empty datagram writes nothing; every other one is one write.
    EXPECT_EQ(output_.writes, (std::vector<std::string>{"INFO  started\r\n", binary, largest}));
}

TEST_F(ZorlogConsoleReceiver, ColourSequencesPassUnchangedAndAreReported) {
    const std::string record = "\033[01;31mERROR no disk\r\n\033[0m";
    Send("plain\r\n");
    Send(record);
    const ReceiveOutcome outcome = Receive(Counting(2));
    EXPECT_EQ(output_.writes, (std::vector<std::string>{"plain\r\n", record}));
    EXPECT_TRUE(outcome.escapeWritten);
}

TEST_F(ZorlogConsoleReceiver, StrippingFollowsASequenceAcrossDatagrams) {
    for (const char* piece : {"\033[01;3", "3mWARN  low\r\n\033", "[0m", "\033[2J\033[H"}) Send(piece);
    const ReceiveOutcome outcome = Receive(Counting(4, true));
    EXPECT_EQ(outcome.end, ReceiveEnd::CountReached);
    EXPECT_EQ(outcome.datagrams, 4u);
    EXPECT_FALSE(outcome.escapeWritten);
    // Datagrams left empty by the stripping are not written.
    EXPECT_EQ(output_.writes, (std::vector<std::string>{"WARN  low\r\n"}));
}

TEST_F(ZorlogConsoleReceiver, AStopIsSeenAfterTheDatagramBeingWritten) {
    bool stop = false;
    output_.afterWrite = [&stop] { stop = true; };
    for (const char* datagram : {"first", "second", "third"}) Send(datagram);
    const ReceiveOutcome outcome = Receive(ReceiveOptions{}, [&stop] { return stop; });
    EXPECT_EQ(outcome.end, ReceiveEnd::Stopped);
    EXPECT_EQ(outcome.datagrams, 1u);
    EXPECT_EQ(output_.writes, (std::vector<std::string>{"first"}));
}

TEST_F(ZorlogConsoleReceiver, AStopEndsAWaitThatNoDatagramEnds) {
    std::atomic<bool> stop{false};
    std::atomic<int> questions{0};
    std::thread stopper([&] {
        // Once the loop has asked twice it is waiting, with no datagram to come.
        while (questions.load() < 2) std::this_thread::yield();
        stop = true;
    });
    const ReceiveOutcome outcome = Receive(ReceiveOptions{}, [&] {
        ++questions;
        return stop.load();
    });
    stopper.join();
    EXPECT_EQ(outcome.end, ReceiveEnd::Stopped);
    EXPECT_EQ(outcome.datagrams, 0u);
    EXPECT_TRUE(output_.writes.empty());
}

TEST_F(ZorlogConsoleReceiver, AnOutputThatTakesNoMoreEndsTheLoop) {
    output_.failFrom = 2;
    for (const char* datagram : {"one", "two", "three"}) Send(datagram);
    const ReceiveOutcome outcome = Receive(Counting(3));
    EXPECT_EQ(outcome.end, ReceiveEnd::OutputFailed);
    EXPECT_EQ(outcome.datagrams, 2u);
    EXPECT_EQ(output_.writes, (std::vector<std::string>{"one", "two"}));
}

} // namespace
