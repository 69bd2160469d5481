// IPv4 address texts and datagrams over loopback.
#include "common/udp_socket.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

TEST(UdpSocket, DottedAddressesAreReadStrictly) {
    const struct {
        const char* text;
        std::uint32_t address;
    } good[] = {
        {"127.0.0.1", 0x7F000001u}, {"0.0.0.0", 0u},           {"255.255.255.255", 0xFFFFFFFFu},
        {"127.1", 0x7F000001u},     {"10.1.258", 0x0A010102u}, {"3232235777", 0xC0A80101u},
        {"010.0.0.1", 0x0A000001u},
    };
    for (const auto& c : good) {
        std::uint32_t address = 0;
        EXPECT_TRUE(ParseDottedIPv4(c.text, address)) << c.text;
        EXPECT_EQ(address, c.address) << c.text;
    }
    EXPECT_EQ(FormatIPv4(0xC0A80101u), "192.168.1.1");
    EXPECT_EQ(FormatIPv4(kNoneIPv4), "255.255.255.255");
    for (const char* bad : {"", ".", "1.", ".1", "1..2", "256.0.0.1", "1.2.3.4.5", "1.2.3.256", "1.2.65536",
                            "4294967296", "99999999999", "1.2.3.4 ", "-1.2.3.4", "1.2.3.x"}) {
        std::uint32_t address = 7;
        EXPECT_FALSE(ParseDottedIPv4(bad, address)) << bad;
        EXPECT_EQ(address, 7u) << bad;
    }
}

TEST(UdpSocket, LoopbackNameAndOverlongNames) {
    std::uint32_t address = 0;
    EXPECT_TRUE(ResolveHostIPv4("localhost", address));
    EXPECT_EQ(address >> 24, 127u);
    EXPECT_FALSE(ResolveHostIPv4("", address));
    EXPECT_FALSE(ResolveHostIPv4(std::string(254, 'a'), address));
}

TEST(UdpSocket, CarriesDatagramsOfEverySizeIntact) {
    ASSERT_TRUE(StartSocketLibrary());
    UdpSocket receiver;
    ASSERT_TRUE(receiver.open());
    ASSERT_TRUE(receiver.bind(kLoopbackIPv4, 0));
    const std::uint16_t port = receiver.localPort();
    ASSERT_NE(port, 0);

    UdpSocket sender;
    ASSERT_TRUE(sender.open());
    std::string largest(65507, '\0');
    for (std::size_t i = 0; i < largest.size(); ++i) largest[i] = static_cast<char>(i * 31 % 251);
    const std::string datagrams[] = {std::string(), std::string("a\0b", 3), largest};
    for (const std::string& datagram : datagrams)
        EXPECT_EQ(sender.sendTo(kLoopbackIPv4, port, datagram.data(), datagram.size()),
                  static_cast<long>(datagram.size()));

    std::string buffer(70000, '\0');
    for (const std::string& datagram : datagrams) {
        std::size_t size = 99;
        std::uint32_t from = 0;
        ASSERT_EQ(receiver.receive(buffer.data(), buffer.size(), 5000, size, &from), UdpSocket::Receive::Datagram);
        EXPECT_EQ(std::string(buffer.data(), size), datagram);
        EXPECT_EQ(from, kLoopbackIPv4);
    }
    std::size_t size = 99;
    EXPECT_EQ(receiver.receive(buffer.data(), buffer.size(), 50, size), UdpSocket::Receive::TimedOut);
    EXPECT_EQ(size, 0u);

    // A buffer smaller than the datagram keeps what fits.
    EXPECT_EQ(sender.sendTo(kLoopbackIPv4, port, "0123456789", 10), 10);
    ASSERT_EQ(receiver.receive(buffer.data(), 4, 5000, size), UdpSocket::Receive::Datagram);
    EXPECT_EQ(std::string(buffer.data(), size), "0123");
}

TEST(UdpSocket, BindingATakenPortFailsWithTheSocketLayersCode) {
    ASSERT_TRUE(StartSocketLibrary());
    UdpSocket first;
    ASSERT_TRUE(first.open());
    ASSERT_TRUE(first.bind(kLoopbackIPv4, 0));
    UdpSocket second;
    ASSERT_TRUE(second.open());
    EXPECT_FALSE(second.bind(kLoopbackIPv4, first.localPort()));
    const int code = LastSocketError();
#ifdef _WIN32
    EXPECT_EQ(code, 10048); // WSAEADDRINUSE
#else
    EXPECT_EQ(code, EADDRINUSE);
#endif
    EXPECT_NE(SocketErrorText(code).find(std::to_string(code)), std::string::npos);

    // Moving hands the socket over; the moved-from one is closed.
    UdpSocket moved = std::move(first);
    EXPECT_TRUE(moved.isOpen());
    EXPECT_FALSE(first.isOpen());
}

} // namespace
