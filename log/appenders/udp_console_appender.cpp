#include "log/appenders/udp_console_appender.h"

#include "common/text_utils.h"
#include "log/param_text.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// The characters that separate the pieces of "hosts".
constexpr std::string_view kHostSeparators = ",; ";
// Send failures are printed at most this often.
constexpr std::int64_t kFailureReportIntervalMs = 1000;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// False when piece names no address: a dotted text that is none, or a name
// that does not resolve.
bool AddressOfHost(const std::string& piece, std::uint32_t& address) {
    if (piece.find_first_not_of("0123456789.") == std::string::npos) return ParseDottedIPv4(piece, address);
    return ResolveHostIPv4(piece, address);
}

// A lone "\n" becomes "\r\n"; one that already follows "\r" ("%n" of a
// pattern layout) is kept as it is rather than sent as "\r\r\n". The result is
// cut at limit bytes.
void ToWireText(std::string_view text, std::size_t limit, std::string& wire) {
    wire.clear();
    char previous = '\0';
    for (const char c : text) {
        if (c == '\n' && previous != '\r') wire += '\r';
        wire += c;
        previous = c;
        if (wire.size() >= limit) break;
    }
    if (wire.size() > limit) wire.resize(limit);
}

} // namespace

UDPConsoleAppender::UDPConsoleAppender(std::string name, Priority threshold) : Appender(std::move(name), threshold) {
    StartSocketLibrary();
    setPort("4884");
    setHosts("localhost");
}

UDPConsoleAppender::~UDPConsoleAppender() = default;

const char* UDPConsoleAppender::className() const { return "UDPConsoleAppender"; }

bool UDPConsoleAppender::setParam(const std::string& name, const std::string& value) {
    if (Appender::setParam(name, value)) return true;
    if (EqualsIgnoringCase(name, "hosts")) {
        setHosts(value);
        hostsText_ = value;
        return true;
    }
    if (EqualsIgnoringCase(name, "port")) {
        if (!setPort(value)) return false;
        portText_ = value;
        return true;
    }
    return false;
}

std::string UDPConsoleAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "hosts")) return hostsText_;
    if (EqualsIgnoringCase(name, "port")) return portText_;
    return Appender::getParam(name);
}

void UDPConsoleAppender::setHosts(const std::string& text) {
    std::vector<std::string> pieces;
    SplitByChars(text, kHostSeparators, pieces);
    hostAddresses_.clear();
    unresolvedHosts_.clear();
    for (const std::string& piece : pieces) {
        std::uint32_t address = 0;
        if (AddressOfHost(piece, address))
            hostAddresses_.push_back(address);
        else
            unresolvedHosts_.push_back(piece);
    }
}

std::string UDPConsoleAppender::paramWarning(const std::string& name, const std::string& value) const {
    if (EqualsIgnoringCase(name, "port")) return WholeNumberProblem(value, 1, 0xFFFF);
    return Appender::paramWarning(name, value);
}

bool UDPConsoleAppender::setPort(const std::string& text) {
    const std::string_view digits = TrimBlanks(text);
    if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    const std::int64_t value = TextToInt64(digits);
    if (value > 0xFFFF) return false;
    port_ = static_cast<std::uint16_t>(value);
    return true;
}

Appender::TargetOpening UDPConsoleAppender::openTarget(std::string& error) {
    if (!isActive() || socket_.isOpen()) return TargetOpening::NoHeader;
    if (!socket_.open()) {
        error = "unable to create socket:" + SocketErrorText(LastSocketError());
        return TargetOpening::Failed;
    }
    if (!onSocketOpened(error)) {
        socket_.close();
        return TargetOpening::Failed;
    }
    for (const std::string& piece : unresolvedHosts_)
        std::fprintf(stderr, "%s '%s': the host '%s' names no address; nothing is sent for it\n", className(),
                     getName().c_str(), piece.c_str());
    return TargetOpening::WriteHeader;
}

bool UDPConsoleAppender::isTargetOpen() const { return socket_.isOpen(); }

bool UDPConsoleAppender::closeTarget(std::string&) {
    socket_.close();
    return true;
}

bool UDPConsoleAppender::onSocketOpened(std::string&) { return true; }

void UDPConsoleAppender::write(std::string_view text, const LoggingEvent*) {
    if (!socket_.isOpen()) return;
    ToWireText(text, kMaxRecordSize, wire_);
    for (const std::uint32_t address : hostAddresses_) sendTo(address, wire_);
}

// A failing listener would otherwise print a line per record.
void UDPConsoleAppender::reportSendFailure(int code) {
    const std::int64_t now = NowMs();
    if (lastFailurePrinted_ >= 0 && now - lastFailurePrinted_ < kFailureReportIntervalMs) return;
    lastFailurePrinted_ = now;
    std::printf("SendToError:%d\n", code);
}

void UDPConsoleAppender::sendTo(std::uint32_t address, const std::string& data) {
    std::size_t offset = 0;
    while (offset < data.size()) {
        const std::size_t size = std::min(kDatagramSize, data.size() - offset);
        const long sent = socket_.sendTo(address, port_, data.data() + offset, size);
        if (sent < 0) {
            reportSendFailure(LastSocketError());
            return;
        }
        // A datagram socket takes all or nothing; an empty acceptance would
        // never end this loop.
        if (sent == 0) return;
        offset += static_cast<std::size_t>(sent);
    }
}
