// IPv4 UDP datagrams: the part of the socket layer that the logging targets
// and their console receiver need. Winsock 1.1 on Windows, BSD sockets
// elsewhere.
//
// Addresses and ports are in host byte order in this interface; the
// conversion to network order happens inside. Error codes are the socket
// layer's own (WSAGetLastError on Windows, errno elsewhere), never a value
// of some other layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// 127.0.0.1, 0.0.0.0 and 255.255.255.255 in host byte order.
constexpr std::uint32_t kLoopbackIPv4 = 0x7F000001u;
constexpr std::uint32_t kAnyIPv4 = 0;
constexpr std::uint32_t kNoneIPv4 = 0xFFFFFFFFu;

// Starts the socket library once per process (version 1.1 on Windows; nothing
// to do elsewhere) and keeps it started until the process ends. True when
// sockets can be used.
bool StartSocketLibrary();

// The calling thread's last socket-layer error code.
int LastSocketError();
// The system's sentence for a socket-layer error code, in the form of
// FormatSystemMessage: "<sentence> [<code>]".
std::string SocketErrorText(int code);

// Text of digits and points read as a dotted IPv4 address: one to four
// numbers, the last filling the remaining bytes ("127.1" is 127.0.0.1).
// False for anything else, for a number too large for its place, and for
// the empty text.
bool ParseDottedIPv4(std::string_view text, std::uint32_t& address);
// The first IPv4 address the system's host-name lookup gives for name; false
// when the lookup fails or the name is longer than a host name can be.
bool ResolveHostIPv4(const std::string& name, std::uint32_t& address);
// "a.b.c.d".
std::string FormatIPv4(std::uint32_t address);

// One IPv4 datagram socket; closed by its destructor. Movable, not copyable.
class UdpSocket {
public:
    // How a wait for a datagram ended.
    enum class Receive { Datagram, TimedOut, Failed };

    UdpSocket() = default;
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    ~UdpSocket();

    // Creates the socket; false (LastSocketError says why) on failure. A
    // socket already open is closed first.
    bool open();
    bool isOpen() const { return handle_ != kNoHandle; }
    void close();

    // Binds to address and port (0: any free port); false on failure.
    bool bind(std::uint32_t address, std::uint16_t port);
    // The port the socket is bound to, 0 when unknown.
    std::uint16_t localPort() const;

    // Sends one datagram; the number of bytes accepted, or -1 on failure.
    long sendTo(std::uint32_t address, std::uint16_t port, const char* data, std::size_t size);

    // Waits up to timeoutMs (negative: without limit) for one datagram and
    // stores it in buffer. received is its length, cut to capacity (a
    // datagram never exceeds 65,507 bytes); from is the sender's address.
    Receive receive(char* buffer, std::size_t capacity, int timeoutMs, std::size_t& received,
                    std::uint32_t* from = nullptr);

private:
    // A SOCKET on Windows (an unsigned pointer-sized value), a descriptor
    // elsewhere; kNoHandle when closed.
    static constexpr std::uintptr_t kNoHandle = ~std::uintptr_t{0};
    std::uintptr_t handle_ = kNoHandle;
};
