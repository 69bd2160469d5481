#include "tools/zorlog-console/command_line.h"

#include "common/option_scanner.h"
#include "common/text_utils.h"
#include "common/udp_socket.h"

#include <limits>
#include <string_view>

namespace zorlog_console {

namespace {

enum OptionId : int { kPort, kBind, kNoColor, kCount, kHelp };

constexpr OptionRule kOptions[] = {
    {"--port", "-p", true, kPort},   {"--bind", "-b", true, kBind},  {"--no-color", nullptr, false, kNoColor},
    {"--count", "-n", true, kCount}, {"--help", "-h", false, kHelp},
};

// The longest name the domain name system carries.
constexpr std::size_t kMaxHostNameLength = 253;

bool IsHostNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

// A text of digits and points must be a dotted address (as the UDP targets
// read their host lists); anything else must look like a host name.
bool IsAddressText(std::string_view text) {
    if (text.empty() || text.size() > kMaxHostNameLength) return false;
    if (text.find_first_not_of("0123456789.") == std::string_view::npos) {
        std::uint32_t address = 0;
        return ParseDottedIPv4(text, address);
    }
    for (const char c : text)
        if (!IsHostNameCharacter(c)) return false;
    return true;
}

std::string Quoted(const OptionRule& rule, const std::string& value) {
    return std::string("bad ") + rule.longName + " '" + value + "': ";
}

// Applies one option; false with error set when its value is refused.
bool Apply(const OptionRule& rule, const std::string& value, Settings& settings, std::string& error) {
    std::uint64_t number = 0;
    switch (rule.id) {
    case kPort:
        if (!ParseDecimal(value, std::numeric_limits<std::uint16_t>::max(), number)) {
            error = Quoted(rule, value) + "expected a port number from 0 to 65535";
            return false;
        }
        settings.port = static_cast<std::uint16_t>(number);
        return true;
    case kBind:
        if (!IsAddressText(value)) {
            error = Quoted(rule, value) + "expected a dotted IPv4 address or a host name";
            return false;
        }
        settings.bindAddress = value;
        return true;
    case kCount:
        if (!ParseDecimal(value, std::numeric_limits<std::uint64_t>::max(), number) || number == 0) {
            error = Quoted(rule, value) + "expected a number of datagrams, 1 or more";
            return false;
        }
        settings.count = number;
        return true;
    case kNoColor:
        settings.stripEscapes = true;
        return true;
    case kHelp:
        settings.help = true;
        return true;
    }
    return false;
}

} // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& arguments) {
    ParseResult result;
    for (const std::string& argument : arguments)
        if (argument == "-h" || argument == "--help") {
            result.ok = true;
            result.settings.help = true;
            return result;
        }

    OptionScanner scanner(kOptions, arguments);
    for (ScannedArgument scanned; scanner.Next(scanned);) {
        using Kind = ScannedArgument::Kind;
        switch (scanned.kind) {
        case Kind::Operand:
            result.error = "unexpected argument '" + scanned.text + "'; see --help";
            return result;
        case Kind::EndOfOptions:
        case Kind::UnknownOption:
            result.error = "unknown option '" + scanned.text + "'; see --help";
            return result;
        case Kind::MissingValue:
            result.error = std::string(scanned.rule->longName) + " needs a value";
            return result;
        case Kind::UnexpectedValue:
            result.error = std::string(scanned.rule->longName) + " takes no value";
            return result;
        case Kind::Option:
            if (!Apply(*scanned.rule, scanned.value, result.settings, result.error)) return result;
            break;
        }
    }
    result.ok = true;
    return result;
}

} // namespace zorlog_console
