#include "archive/install_options.h"

InstallOptionStates CheckStatesOf(std::uint32_t options) {
    InstallOptionStates states{};
    for (std::size_t i = 0; i < kInstallOptionCount; ++i) states[i] = (options & kInstallOptions[i].checkedBit) != 0;
    return states;
}

std::uint32_t WithCheckStates(std::uint32_t options, const InstallOptionStates& states) {
    for (std::size_t i = 0; i < kInstallOptionCount; ++i) {
        if (states[i])
            options |= kInstallOptions[i].checkedBit;
        else
            options &= ~kInstallOptions[i].checkedBit;
    }
    return options;
}

OptionState OptionStateIn(std::uint32_t word, const InstallOption& option) {
    const bool shown = (word & option.shownBit) != 0;
    const bool checked = (word & option.checkedBit) != 0;
    if (shown) return checked ? OptionState::AskChecked : OptionState::Ask;
    return checked ? OptionState::On : OptionState::Off;
}

std::uint32_t WithOptionState(std::uint32_t word, const InstallOption& option, OptionState state) {
    word &= ~(option.shownBit | option.checkedBit);
    if (state == OptionState::Ask || state == OptionState::AskChecked) word |= option.shownBit;
    if (state == OptionState::On || state == OptionState::AskChecked) word |= option.checkedBit;
    return word;
}
