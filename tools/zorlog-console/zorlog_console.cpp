#include "tools/zorlog-console/zorlog_console.h"

#include "common/standard_streams.h"
#include "common/udp_socket.h"
#include "tools/zorlog-console/command_line.h"
#include "tools/zorlog-console/interrupt.h"
#include "tools/zorlog-console/listen_errors.h"
#include "tools/zorlog-console/receiver.h"
#include "tools/zorlog-console/usage.h"

#include <string_view>

namespace zorlog_console {

namespace {

constexpr std::string_view kPrefix = "zorlog-console: ";
// Sets every colour and attribute back to the terminal's default.
constexpr std::string_view kResetSequence = "\033[0m";

int Report(const std::string& message, int code) {
    WriteCodePageText(StandardStream::Error, std::string(kPrefix) + message + "\n");
    return code;
}

class StandardOutput : public RecordOutput {
public:
    bool write(const char* data, std::size_t size) override { return WriteBytes(StandardStream::Output, data, size); }
};

// The command line has checked the form: digits and points are an address.
bool FindBindAddress(const std::string& text, std::uint32_t& address) {
    if (text.find_first_not_of("0123456789.") == std::string::npos) return ParseDottedIPv4(text, address);
    return ResolveHostIPv4(text, address);
}

} // namespace

int Run(const std::vector<std::string>& arguments) {
    const ParseResult parsed = ParseCommandLine(arguments);
    if (!parsed.ok) return Report(parsed.error, kExitUsage);
    const Settings& settings = parsed.settings;
    if (settings.help) {
        WriteCodePageText(StandardStream::Output, UsageText());
        return kExitSuccess;
    }
    InstallInterruptHandler();

    if (!StartSocketLibrary())
        return Report("cannot start the socket library: " + SocketErrorText(LastSocketError()), kExitFailure);
    std::uint32_t address = 0;
    if (!FindBindAddress(settings.bindAddress, address))
        return Report("cannot find the address of '" + settings.bindAddress + "'; give a dotted IPv4 address",
                      kExitFailure);
    UdpSocket socket;
    if (!socket.open())
        return Report("cannot create a UDP socket: " + SocketErrorText(LastSocketError()), kExitFailure);
    if (!socket.bind(address, settings.port)) {
        const int code = LastSocketError();
        return Report(BindErrorMessage(FormatIPv4(address), settings.port, code), kExitFailure);
    }

    ReceiveOutcome outcome;
    {
        const TerminalSession terminal;
        ReceiveOptions options;
        options.stripEscapes = settings.stripEscapes || !terminal.passesEscapes();
        options.count = settings.count;
        Report("listening on " + FormatIPv4(address) + ":" + std::to_string(socket.localPort()) + " (Ctrl-C ends)",
               kExitSuccess);
        StandardOutput output;
        outcome = ReceiveRecords(socket, output, options, InterruptRequested);
        // A record cut short (by Ctrl-C or a lost datagram) may have left
        // the colour on; put the user's terminal back before it is restored.
        if (outcome.escapeWritten && terminal.isTerminal())
            WriteBytes(StandardStream::Output, kResetSequence.data(), kResetSequence.size());
    }

    switch (outcome.end) {
    case ReceiveEnd::CountReached:
        return kExitSuccess;
    case ReceiveEnd::Stopped:
        return Report("stopped after " + std::to_string(outcome.datagrams) +
                          (outcome.datagrams == 1 ? " datagram" : " datagrams"),
                      kExitSuccess);
    case ReceiveEnd::ReceiveFailed:
        return Report("receiving failed: " + SocketErrorText(outcome.socketError), kExitFailure);
    case ReceiveEnd::OutputFailed:
        return Report("standard output takes no more; ending", kExitFailure);
    }
    return kExitFailure;
}

} // namespace zorlog_console
