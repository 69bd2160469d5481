#include "archive/install_options.h"

#include <gtest/gtest.h>

namespace {

// Table positions, in the order of the bits.
enum { kAllUsers, kStartAfter, kDesktop, kQuickLaunch, kStartup };

TEST(InstallOptions, StatesComeFromTheCheckedBitsOnly) {
    EXPECT_EQ(CheckStatesOf(0x01FF0002), (InstallOptionStates{true, true, true, true, false}));
    // Shown bits alone check nothing; a hidden option may still be checked.
    EXPECT_EQ(CheckStatesOf(0x01550000), InstallOptionStates{});
    EXPECT_TRUE(CheckStatesOf(kOptionStartWithSession)[kStartup]);
    EXPECT_TRUE(CheckStatesOf(kOptionAllUsers)[kAllUsers]);
}

TEST(InstallOptions, WritingStatesChangesOnlyTheCheckedBits) {
    // Every bit outside the checked bits survives, whatever the states.
    const std::uint32_t others = ~0x02AA0000u;
    InstallOptionStates all;
    all.fill(true);
    EXPECT_EQ(WithCheckStates(others, all), 0xFFFFFFFFu);
    EXPECT_EQ(WithCheckStates(0xFFFFFFFFu, InstallOptionStates{}), others);

    for (std::size_t i = 0; i < kInstallOptionCount; ++i) {
        InstallOptionStates one{};
        one[i] = true;
        EXPECT_EQ(WithCheckStates(0x2, one), 0x2 | kInstallOptions[i].checkedBit) << kInstallOptions[i].name;
    }
    // States read from a word write the same word back.
    EXPECT_EQ(WithCheckStates(0x01FF0002, CheckStatesOf(0x01FF0002)), 0x01FF0002u);
}

TEST(InstallOptions, PairsCoverBitsSixteenToTwentyFiveOnce) {
    std::uint32_t seen = 0;
    for (const InstallOption& option : kInstallOptions) {
        EXPECT_EQ(option.checkedBit, option.shownBit << 1) << option.name;
        EXPECT_EQ(seen & (option.shownBit | option.checkedBit), 0u) << option.name;
        seen |= option.shownBit | option.checkedBit;
    }
    EXPECT_EQ(seen, 0x03FF0000u);
}

TEST(InstallOptions, EachStateSetsItsPairAndNothingElse) {
    struct StateBits {
        OptionState state;
        bool shown;
        bool checked;
    };
    const StateBits states[] = {{OptionState::Off, false, false},
                                {OptionState::On, false, true},
                                {OptionState::Ask, true, false},
                                {OptionState::AskChecked, true, true}};
    for (const InstallOption& option : kInstallOptions) {
        for (const StateBits& state : states) {
            const std::uint32_t pair = option.shownBit | option.checkedBit;
            const std::uint32_t expectedPair =
                (state.shown ? option.shownBit : 0) | (state.checked ? option.checkedBit : 0);
            for (const std::uint32_t start : {0x00000000u, 0xFFFFFFFFu, 0x01FF0002u, 0xA5A5A5A5u}) {
                const std::uint32_t word = WithOptionState(start, option, state.state);
                EXPECT_EQ(word & ~pair, start & ~pair) << option.name;
                EXPECT_EQ(word & pair, expectedPair) << option.name;
                EXPECT_EQ(OptionStateIn(word, option), state.state) << option.name;
            }
        }
    }
}

TEST(InstallOptions, DefaultWordShowsAndChecksAllButTheLast) {
    for (std::size_t i = 0; i < kInstallOptionCount; ++i)
        EXPECT_EQ(OptionStateIn(0x01FF0002, kInstallOptions[i]),
                  i == kStartup ? OptionState::Ask : OptionState::AskChecked)
            << kInstallOptions[i].name;
}

} // namespace
