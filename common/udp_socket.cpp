#include "common/udp_socket.h"

#include "common/string_format.h"

namespace {

// Reads one decimal number of at most 10 digits; false when there is none.
bool ReadDecimal(std::string_view& text, std::uint64_t& value) {
    std::size_t digits = 0;
    value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        if (digits == 10) return false;
        value = value * 10 + static_cast<std::uint64_t>(text[digits] - '0');
        ++digits;
    }
    text.remove_prefix(digits);
    return digits > 0;
}

} // namespace

// Numbers are always decimal: the classic reader's octal for a leading zero
// would turn "010.0.0.1" into 8.0.0.1, which nobody writing a log target's
// host list means.
bool ParseDottedIPv4(std::string_view text, std::uint32_t& address) {
    std::uint64_t parts[4];
    int count = 0;
    for (;;) {
        if (count == 4 || !ReadDecimal(text, parts[count])) return false;
        ++count;
        if (text.empty()) break;
        if (text.front() != '.') return false;
        text.remove_prefix(1);
    }
    // Every part but the last is one byte; the last fills the bytes left.
    std::uint64_t result = 0;
    for (int i = 0; i + 1 < count; ++i) {
        if (parts[i] > 0xFF) return false;
        result |= parts[i] << (24 - 8 * i);
    }
    const int lastBits = 32 - 8 * (count - 1);
    if (parts[count - 1] >> lastBits != 0) return false;
    address = static_cast<std::uint32_t>(result | parts[count - 1]);
    return true;
}

std::string FormatIPv4(std::uint32_t address) {
    return StringFormat("%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoHandle; }

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = kNoHandle;
    }
    return *this;
}

UdpSocket::~UdpSocket() { close(); }
