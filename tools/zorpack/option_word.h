// The installation options of the options word (archive/install_options.h)
// by name and state, as the builder's command line spells them.
#pragma once

#include "archive/install_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorpack {

// One --option NAME=STATE setting.
struct OptionSetting {
    const InstallOption* option;
    OptionState state;
};

// Parses "NAME=STATE"; nullopt for an unknown name or state or a missing "=".
std::optional<OptionSetting> ParseOptionSetting(std::string_view text);

// The word with the setting's pair of bits replaced; every other bit is kept.
std::uint32_t ApplyOptionSetting(std::uint32_t word, const OptionSetting& setting);

// The command line's name of state.
const char* OptionStateName(OptionState state);

// "0x" followed by one to eight hexadecimal digits (either case); nullopt
// otherwise. The prefix is required so that "10" is not read as sixteen.
std::optional<std::uint32_t> ParseOptionsWord(std::string_view text);

} // namespace zorpack
