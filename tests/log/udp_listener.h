// A UDP listener on a loopback port chosen by the system, for tests of the
// UDP targets: it collects the datagrams they send.
#pragma once

#include "common/udp_socket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class UdpListener {
public:
    explicit UdpListener(std::uint32_t address = kLoopbackIPv4, std::uint16_t port = 0) {
        StartSocketLibrary();
        bound_ = socket_.open() && socket_.bind(address, port);
    }

    bool bound() const { return bound_; }
    std::uint16_t port() const { return socket_.localPort(); }
    std::string portText() const { return std::to_string(port()); }

    // The datagrams that arrive until none has come for quietMs.
    std::vector<std::string> receiveAll(int quietMs = 300) {
        std::vector<std::string> datagrams;
        std::string buffer(65536, '\0');
        std::size_t size = 0;
        while (socket_.receive(buffer.data(), buffer.size(), quietMs, size) == UdpSocket::Receive::Datagram)
            datagrams.emplace_back(buffer.data(), size);
        return datagrams;
    }

private:
    UdpSocket socket_;
    bool bound_ = false;
};

inline std::string Joined(const std::vector<std::string>& pieces) {
    std::string whole;
    for (const std::string& piece : pieces) whole += piece;
    return whole;
}
