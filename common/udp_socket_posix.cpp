#include "common/udp_socket.h"

#include "common/string_format.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The longest name the domain name system can carry.
constexpr std::size_t kMaxHostNameLength = 253;

int Descriptor(std::uintptr_t handle) { return static_cast<int>(handle); }

sockaddr_in MakeAddress(std::uint32_t address, std::uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_addr.s_addr = htonl(address);
    result.sin_port = htons(port);
    return result;
}

} // namespace

bool StartSocketLibrary() { return true; }

int LastSocketError() { return errno; }

std::string SocketErrorText(int code) { return StringFormat("%s [%d]", std::strerror(code), code); }

bool ResolveHostIPv4(const std::string& name, std::uint32_t& address) {
    if (name.empty() || name.size() > kMaxHostNameLength) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
    address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return true;
}

bool UdpSocket::open() {
    close();
    const int descriptor = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0) return false;
    handle_ = static_cast<std::uintptr_t>(descriptor);
    return true;
}

void UdpSocket::close() {
    if (handle_ == kNoHandle) return;
    const int saved = errno;
    ::close(Descriptor(handle_));
    errno = saved;
    handle_ = kNoHandle;
}

bool UdpSocket::bind(std::uint32_t address, std::uint16_t port) {
    const sockaddr_in local = MakeAddress(address, port);
    return ::bind(Descriptor(handle_), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

std::uint16_t UdpSocket::localPort() const {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (::getsockname(Descriptor(handle_), reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

long UdpSocket::sendTo(std::uint32_t address, std::uint16_t port, const char* data, std::size_t size) {
    const sockaddr_in target = MakeAddress(address, port);
    ssize_t sent;
    do {
        sent = ::sendto(Descriptor(handle_), data, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&target),
                        sizeof target);
    } while (sent < 0 && errno == EINTR);
    return static_cast<long>(sent);
}

UdpSocket::Receive UdpSocket::receive(char* buffer, std::size_t capacity, int timeoutMs, std::size_t& received,
                                      std::uint32_t* from) {
    received = 0;
    pollfd waiting{Descriptor(handle_), POLLIN, 0};
    const int ready = ::poll(&waiting, 1, timeoutMs < 0 ? -1 : timeoutMs);
    if (ready == 0) return Receive::TimedOut;
    // An interrupted wait counts as a timeout: the caller looks at why it was
    // interrupted (Ctrl-C) before waiting again.
    if (ready < 0) return errno == EINTR ? Receive::TimedOut : Receive::Failed;
    sockaddr_in sender{};
    socklen_t length = sizeof sender;
    const ssize_t size =
        ::recvfrom(Descriptor(handle_), buffer, capacity, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&sender), &length);
    if (size < 0) return errno == EINTR || errno == EAGAIN ? Receive::TimedOut : Receive::Failed;
    received = static_cast<std::size_t>(size);
    if (from != nullptr) *from = ntohl(sender.sin_addr.s_addr);
    return Receive::Datagram;
}
