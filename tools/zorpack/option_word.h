// The installation options of the options word, by name and state, as the
// builder's command line spells them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zorpack {

// One installation option: its name on the command line and its pair of bits.
// The lower bit of a pair shows the option's check box, the higher bit checks it.
struct InstallOption {
    const char* name;
    std::uint32_t shownBit;
    std::uint32_t checkedBit;
};

inline constexpr InstallOption kInstallOptions[] = {
    {"all-users", 0x10000, 0x20000},      // shortcuts for every user of the machine
    {"start-after", 0x40000, 0x80000},    // start the application once installed
    {"desktop", 0x100000, 0x200000},      // a desktop shortcut
    {"quick-launch", 0x400000, 0x800000}, // a quick-launch bar shortcut
    {"startup", 0x1000000, 0x2000000},    // start the application with the Windows session
};

// off: hidden, unchecked; on: hidden, checked; ask: shown, unchecked;
// ask-checked: shown, checked.
enum class OptionState { Off, On, Ask, AskChecked };

// One --option NAME=STATE setting.
struct OptionSetting {
    const InstallOption* option;
    OptionState state;
};

// Parses "NAME=STATE"; nullopt for an unknown name or state or a missing "=".
std::optional<OptionSetting> ParseOptionSetting(std::string_view text);

// The word with the setting's pair of bits replaced; every other bit is kept.
std::uint32_t ApplyOptionSetting(std::uint32_t word, const OptionSetting& setting);

// The state that word gives option.
OptionState OptionStateIn(std::uint32_t word, const InstallOption& option);
const char* OptionStateName(OptionState state);

// "0x" followed by one to eight hexadecimal digits (either case); nullopt
// otherwise. The prefix is required so that "10" is not read as sixteen.
std::optional<std::uint32_t> ParseOptionsWord(std::string_view text);

} // namespace zorpack
