#include "tools/zorpack/option_word.h"

namespace zorpack {

namespace {

struct StateName {
    const char* name;
    OptionState state;
};

constexpr StateName kStateNames[] = {
    {"off", OptionState::Off},
    {"on", OptionState::On},
    {"ask", OptionState::Ask},
    {"ask-checked", OptionState::AskChecked},
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<OptionSetting> ParseOptionSetting(std::string_view text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(0, equals);
    const std::string_view state = text.substr(equals + 1);
    const InstallOption* option = nullptr;
    for (const InstallOption& candidate : kInstallOptions)
        if (name == candidate.name) option = &candidate;
    if (!option) return std::nullopt;
    for (const StateName& candidate : kStateNames)
        if (state == candidate.name) return OptionSetting{option, candidate.state};
    return std::nullopt;
}

std::uint32_t ApplyOptionSetting(std::uint32_t word, const OptionSetting& setting) {
    return WithOptionState(word, *setting.option, setting.state);
}

const char* OptionStateName(OptionState state) {
    for (const StateName& candidate : kStateNames)
        if (candidate.state == state) return candidate.name;
    return "?";
}

std::optional<std::uint32_t> ParseOptionsWord(std::string_view text) {
    if (text.size() < 3 || text.size() > 10 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return std::nullopt;
    std::uint32_t word = 0;
    for (char c : text.substr(2)) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        word = (word << 4) | static_cast<std::uint32_t>(digit);
    }
    return word;
}

} // namespace zorpack
