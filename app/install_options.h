// The installation options of the archive's options word. Bits 16 to 25 form
// five pairs, one per option: the lower bit shows the option's check box in
// the options dialog, the higher bit holds whether it is checked. Every other
// bit of the word (the compression flag among them) belongs to the archive
// and is never changed here.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kOptionAllUsers = 0x20000;
inline constexpr std::uint32_t kOptionStartAfterInstallation = 0x80000;
inline constexpr std::uint32_t kOptionDesktopShortcut = 0x200000;
inline constexpr std::uint32_t kOptionQuickLaunchShortcut = 0x800000;
inline constexpr std::uint32_t kOptionStartWithSession = 0x2000000;

// The check states of the five options, as the dialog edits them.
struct InstallOptionStates {
    bool allUsers = false;
    bool startAfterInstallation = false;
    bool startWithSession = false;
    bool quickLaunch = false;
    bool desktop = false;
};

// One option: its check box in the dialog, its two bits and its state.
struct InstallOption {
    int controlId;
    std::uint32_t shownBit;
    std::uint32_t checkedBit;
    bool InstallOptionStates::*state;
};

// The five options in the order of their bits.
inline constexpr InstallOption kInstallOptions[] = {
    {1002, 0x10000, kOptionAllUsers, &InstallOptionStates::allUsers},
    {1006, 0x40000, kOptionStartAfterInstallation, &InstallOptionStates::startAfterInstallation},
    {1003, 0x100000, kOptionDesktopShortcut, &InstallOptionStates::desktop},
    {1004, 0x400000, kOptionQuickLaunchShortcut, &InstallOptionStates::quickLaunch},
    {1005, 0x1000000, kOptionStartWithSession, &InstallOptionStates::startWithSession},
};

inline bool IsOptionShown(std::uint32_t options, const InstallOption& option) {
    return (options & option.shownBit) != 0;
}

// The states held by the checked bits of options.
InstallOptionStates CheckStatesOf(std::uint32_t options);

// options with each checked bit set or cleared from states. Shown bits and
// every bit outside the five options are kept, so a hidden option keeps the
// state the archive gave it only as long as the caller passes it back.
std::uint32_t WithCheckStates(std::uint32_t options, const InstallOptionStates& states);
