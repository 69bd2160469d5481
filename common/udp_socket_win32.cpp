#include "common/udp_socket.h"

#include "common/error_texts.h"
#include "common/windows_api.h"

#include <winsock.h>

#include <cstring>

namespace {

// The longest name the domain name system can carry.
constexpr std::size_t kMaxHostNameLength = 253;

SOCKET Socket(std::uintptr_t handle) { return static_cast<SOCKET>(handle); }

sockaddr_in MakeAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = htonl(address);
    result.sin_port = htons(port);
    return result;
}

} // namespace

// Started once and never cleaned up: sockets may be used until the process
// ends, from static destructors too.
bool StartSocketLibrary() {
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }();
    return started;
}

int LastSocketError() { return ::WSAGetLastError(); }

std::string SocketErrorText(int code) { return FormatSystemMessage(static_cast<std::uint32_t>(code)); }

// gethostbyname is the lookup Winsock 1.1 offers; its result lives in
// per-thread storage of the socket library, read before any other call.
bool ResolveHostIPv4(const std::string& name, std::uint32_t& address) {
    if (name.empty() || name.size() > kMaxHostNameLength || !StartSocketLibrary()) return false;
    const hostent* host = ::gethostbyname(name.c_str());
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 || host->h_addr_list[0] == nullptr)
        return false;
    in_addr first;
    std::memcpy(&first, host->h_addr_list[0], sizeof first);
    address = ntohl(first.s_addr);
    return true;
}

bool UdpSocket::open() {
    close();
    if (!StartSocketLibrary()) return false;
    const SOCKET created = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (created == INVALID_SOCKET) return false;
    handle_ = static_cast<std::uintptr_t>(created);
    return true;
}

void UdpSocket::close() {
    if (handle_ == kNoHandle) return;
    const int saved = ::WSAGetLastError();
    ::closesocket(Socket(handle_));
    ::WSASetLastError(saved);
    handle_ = kNoHandle;
}

bool UdpSocket::bind(std::uint32_t address, std::uint16_t port) {
    const sockaddr_in local = MakeAddress(address, port);
    return ::bind(Socket(handle_), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

std::uint16_t UdpSocket::localPort() const {
    sockaddr_in local{};
    int length = sizeof local;
    if (::getsockname(Socket(handle_), reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

long UdpSocket::sendTo(std::uint32_t address, std::uint16_t port, const char* data, std::size_t size) {
    const sockaddr_in target = MakeAddress(address, port);
    const int length = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    const int sent =
        ::sendto(Socket(handle_), data, length, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent == SOCKET_ERROR ? -1 : sent;
}

UdpSocket::Receive UdpSocket::receive(char* buffer, std::size_t capacity, int timeoutMs, std::size_t& received,
                                      std::uint32_t* from) {
    received = 0;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(Socket(handle_), &readable);
    timeval limit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int ready = ::select(0, &readable, nullptr, nullptr, timeoutMs < 0 ? nullptr : &limit);
    if (ready == 0) return Receive::TimedOut;
    if (ready == SOCKET_ERROR) return ::WSAGetLastError() == WSAEINTR ? Receive::TimedOut : Receive::Failed;
    sockaddr_in sender{};
    int length = sizeof sender;
    const int room = capacity > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(capacity);
    int size = ::recvfrom(Socket(handle_), buffer, room, 0, reinterpret_cast<sockaddr*>(&sender), &length);
    if (size == SOCKET_ERROR) {
        // A datagram longer than the buffer still fills it; keep what fits.
        if (::WSAGetLastError() != WSAEMSGSIZE) return Receive::Failed;
        size = room;
    }
    received = static_cast<std::size_t>(size);
    if (from != nullptr) *from = ntohl(sender.sin_addr.s_addr);
    return Receive::Datagram;
}
