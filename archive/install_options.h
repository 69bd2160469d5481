// The installation options of the archive's options word, the one table of
// them. Bits 16 to 25 form five pairs, one per option: the lower bit shows
// the option's check box in the options dialog, the higher bit checks it (and
// holds the user's choice once the dialog has ended). Every other bit of the
// word (the compression flag among them) belongs to the archive and is never
// changed here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

inline constexpr std::uint32_t kOptionAllUsers = 0x20000;
inline constexpr std::uint32_t kOptionStartAfterInstallation = 0x80000;
inline constexpr std::uint32_t kOptionDesktopShortcut = 0x200000;
inline constexpr std::uint32_t kOptionQuickLaunchShortcut = 0x800000;
inline constexpr std::uint32_t kOptionStartWithSession = 0x2000000;

struct InstallOption {
    const char* name; // as the builder's command line spells it
    int controlId;    // its check box in the options dialog
    std::uint32_t shownBit;
    std::uint32_t checkedBit;
};

// The five options in the order of their bits.
inline constexpr InstallOption kInstallOptions[] = {
    {"all-users", 1002, 0x10000, kOptionAllUsers},                 // shortcuts for every user
    {"start-after", 1006, 0x40000, kOptionStartAfterInstallation}, // start the application once installed
    {"desktop", 1003, 0x100000, kOptionDesktopShortcut},           // a desktop shortcut
    {"quick-launch", 1004, 0x400000, kOptionQuickLaunchShortcut},  // a quick-launch bar shortcut
    {"startup", 1005, 0x1000000, kOptionStartWithSession},         // start with the Windows session
};
inline constexpr std::size_t kInstallOptionCount = std::size(kInstallOptions);

inline bool IsOptionShown(std::uint32_t options, const InstallOption& option) {
    return (options & option.shownBit) != 0;
}

// The check states of the five options, in the table's order.
using InstallOptionStates = std::array<bool, kInstallOptionCount>;

// The states held by the checked bits of options.
InstallOptionStates CheckStatesOf(std::uint32_t options);

// options with each checked bit set or cleared from states. Shown bits and
// every bit outside the five options are kept, so a hidden option keeps the
// state the archive gave it only as long as the caller passes it back.
std::uint32_t WithCheckStates(std::uint32_t options, const InstallOptionStates& states);

// How an installer offers one option, as a builder sets it: off (hidden,
// unchecked), on (hidden, checked), ask (shown, unchecked) or ask-checked
// (shown, checked).
enum class OptionState { Off, On, Ask, AskChecked };

// The state that word gives option.
OptionState OptionStateIn(std::uint32_t word, const InstallOption& option);
// word with option's pair of bits replaced by state; every other bit is kept.
std::uint32_t WithOptionState(std::uint32_t word, const InstallOption& option, OptionState state);
