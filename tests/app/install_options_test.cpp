#include "app/install_options.h"

#include <gtest/gtest.h>

namespace {

TEST(InstallOptions, StatesComeFromTheCheckedBitsOnly) {
    const InstallOptionStates defaults = CheckStatesOf(0x01FF0002);
    EXPECT_TRUE(defaults.allUsers);
    EXPECT_TRUE(defaults.startAfterInstallation);
    EXPECT_TRUE(defaults.desktop);
    EXPECT_TRUE(defaults.quickLaunch);
    EXPECT_FALSE(defaults.startWithSession);

    // Shown bits alone check nothing; a hidden option may still be checked.
    const InstallOptionStates shownOnly = CheckStatesOf(0x01550000);
    EXPECT_FALSE(shownOnly.allUsers || shownOnly.startAfterInstallation || shownOnly.desktop || shownOnly.quickLaunch ||
                 shownOnly.startWithSession);
    EXPECT_TRUE(CheckStatesOf(kOptionStartWithSession).startWithSession);
}

TEST(InstallOptions, WritingStatesChangesOnlyTheCheckedBits) {
    // Every bit outside the checked bits survives, whatever the states.
    const std::uint32_t others = ~0x02AA0000u;
    InstallOptionStates all;
    all.allUsers = all.startAfterInstallation = all.desktop = all.quickLaunch = all.startWithSession = true;
    EXPECT_EQ(WithCheckStates(others, all), 0xFFFFFFFFu);
    EXPECT_EQ(WithCheckStates(0xFFFFFFFFu, InstallOptionStates{}), others);

    for (const InstallOption& option : kInstallOptions) {
        InstallOptionStates one;
        one.*option.state = true;
        EXPECT_EQ(WithCheckStates(0x2, one), 0x2 | option.checkedBit) << option.controlId;
        EXPECT_EQ(option.checkedBit, option.shownBit << 1) << "each pair is a shown bit and the bit above it";
    }
    // States read from a word write the same word back.
    EXPECT_EQ(WithCheckStates(0x01FF0002, CheckStatesOf(0x01FF0002)), 0x01FF0002u);
}

} // namespace
