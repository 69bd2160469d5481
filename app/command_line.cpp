// Splitting rules, kept exactly because installers are started by scripts
// that depend on them:
// - a space (not a tab) outside double quotes separates arguments; a double
//   quote after a backslash does not open or close a quoted part;
// - the spaces after a separator are skipped, so runs of spaces give no empty
//   arguments, but a line that starts with a space gives an empty argument 0;
// - the last piece is kept only when it is not empty once unquoted;
// - unquoting drops every double quote, except that backslash + double quote
//   becomes one double quote.
#include "app/command_line.h"

#include <string_view>
#include <utility>

namespace {

constexpr char kSeparator = ' ';
constexpr char kQuote = '"';
constexpr char kEscape = '\\';

std::string Unquote(std::string_view token) {
    std::string text;
    text.reserve(token.size());
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (token[i] != kQuote) {
            text += token[i];
        } else if (i > 0 && token[i - 1] == kEscape) {
            // The escaping backslash was copied just before; it becomes the quote.
            text.back() = kQuote;
        }
    }
    return text;
}

// Position of the first separator at or after start, or npos.
std::size_t FindSeparator(std::string_view line, std::size_t start) {
    bool quoted = false;
    for (std::size_t i = start; i < line.size(); ++i) {
        if (line[i] == kQuote && !(i > 0 && line[i - 1] == kEscape)) {
            quoted = !quoted;
        } else if (line[i] == kSeparator && !quoted) {
            return i;
        }
    }
    return std::string_view::npos;
}

} // namespace

CommandLine::CommandLine(const char* rawCommandLine) {
    if (rawCommandLine == nullptr) return;
    const std::string_view line(rawCommandLine);
    std::size_t start = 0;
    for (;;) {
        const std::size_t separator = FindSeparator(line, start);
        if (separator == std::string_view::npos) {
            std::string last = Unquote(line.substr(start));
            if (!last.empty()) arguments_.push_back(std::move(last));
            return;
        }
        arguments_.push_back(Unquote(line.substr(start, separator - start)));
        start = line.find_first_not_of(kSeparator, separator);
        if (start == std::string_view::npos) return;
    }
}

CommandLine::~CommandLine() = default;

std::string CommandLine::GetAt(std::size_t index) const {
    return index < arguments_.size() ? arguments_[index] : std::string();
}

bool CutTrailingArgument(std::string& rawCommandLine, std::string_view prefix, std::string& value) {
    const std::string_view line(rawCommandLine);
    // Arguments start after each run of separators, as the constructor splits them.
    for (std::size_t separator = FindSeparator(line, 0); separator != std::string_view::npos;) {
        const std::size_t start = line.find_first_not_of(kSeparator, separator);
        if (start == std::string_view::npos) return false;
        if (line.substr(start, prefix.size()) == prefix) {
            value.assign(line.substr(start + prefix.size()));
            rawCommandLine.resize(start);
            return true;
        }
        separator = FindSeparator(line, start);
    }
    return false;
}
