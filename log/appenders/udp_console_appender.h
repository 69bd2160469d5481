// Sends each record as UDP datagrams to a list of listeners
// ("UDPConsoleAppender"), typically zorlog-console on a developer's machine.
//
// Parameters: "hosts" (host names or dotted addresses separated by ",", ";"
// or blanks; default "localhost") and "port" (decimal, default 4884). Both
// report the text last given, the empty text until one was given.
//
// Every record goes to every host, in list order, with a lone "\n" sent as
// "\r\n" (a "\r\n" stays as it is), in datagrams of at most 1,024 bytes (a
// record is cut at 65,535 bytes).
// Nothing waits for a reply. A failed send prints "SendToError:<code>" with
// the socket layer's error code to standard output, at most once a second
// (the failures in between are not printed), and skips the rest of the
// record for that host only.
#pragma once

#include "common/udp_socket.h"
#include "log/appender.h"

#include <cstdint>
#include <string>
#include <vector>

class UDPConsoleAppender : public Appender {
public:
    static constexpr std::uint16_t kDefaultPort = 4884;
    // Longest datagram sent, and longest text sent per record.
    static constexpr std::size_t kDatagramSize = 1024;
    static constexpr std::size_t kMaxRecordSize = 65535;

    // Starts the socket library and sends to port 4884 of the local host.
    UDPConsoleAppender(std::string name, Priority threshold);
    UDPConsoleAppender() : UDPConsoleAppender("[NoAppenderName]", LogPriority::kNotSet) {}
    // Closes the socket, without a footer: the listeners may be gone by the
    // time a program's static objects are destroyed.
    ~UDPConsoleAppender() override;

    const char* className() const override;
    // "hosts": every piece adds one address. A piece that names no address
    // (empty, a name that cannot be resolved or is longer than a host name
    // can be, a dotted text with a byte over 255) is left out, so nothing is
    // ever sent to an address nobody configured, and does not fail the
    // parameter; opening the appender reports each such piece once, on
    // standard error. "port": a decimal
    // number from 0 to 65535, blanks around it allowed; other texts are
    // refused and the port kept.
    bool setParam(const std::string& name, const std::string& value) override;
    std::string getParam(const std::string& name) const override;
    // "port" must be a whole number from 1 to 65535.
    std::string paramWarning(const std::string& name, const std::string& value) const override;

    // The destinations, in host byte order, and the port.
    const std::vector<std::uint32_t>& hostAddresses() const { return hostAddresses_; }
    std::uint16_t port() const { return port_; }

protected:
    // No socket is created for an inactive appender; opening succeeds.
    TargetOpening openTarget(std::string& error) override;
    bool isTargetOpen() const override;
    bool closeTarget(std::string& error) override;
    void write(std::string_view text, const LoggingEvent* event) override;

    // Called by open right after the socket was created, before the header;
    // a failure fails open. Nothing to do here.
    virtual bool onSocketOpened(std::string& error);

private:
    void setHosts(const std::string& text);
    bool setPort(const std::string& text);
    void sendTo(std::uint32_t address, const std::string& data);
    void reportSendFailure(int code);

    UdpSocket socket_;
    std::vector<std::uint32_t> hostAddresses_;
    std::uint16_t port_ = kDefaultPort;
    std::string portText_;
    std::string hostsText_;
    std::vector<std::string> unresolvedHosts_; // reported when the socket opens
    // When the last send failure was printed (steady-clock milliseconds; -1:
    // none yet).
    std::int64_t lastFailurePrinted_ = -1;
    // The text as sent ("\r\n" line ends), kept between records (under the
    // lock) to reuse its capacity.
    std::string wire_;
};
