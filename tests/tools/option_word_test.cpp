#include "tools/zorpack/option_word.h"

#include <gtest/gtest.h>

using namespace zorpack;

namespace {

TEST(OptionWord, EachStateSetsItsPairAndNothingElse) {
    struct StateBits {
        const char* state;
        bool shown;
        bool checked;
    };
    const StateBits states[] = {
        {"off", false, false}, {"on", false, true}, {"ask", true, false}, {"ask-checked", true, true}};
    for (const InstallOption& option : kInstallOptions) {
        for (const StateBits& state : states) {
            const auto setting = ParseOptionSetting(std::string(option.name) + "=" + state.state);
            ASSERT_TRUE(setting) << option.name << "=" << state.state;
            EXPECT_EQ(setting->option, &option);
            const std::uint32_t pair = option.shownBit | option.checkedBit;
            const std::uint32_t expectedPair =
                (state.shown ? option.shownBit : 0) | (state.checked ? option.checkedBit : 0);
            for (const std::uint32_t start : {0x00000000u, 0xFFFFFFFFu, 0x01FF0002u, 0xA5A5A5A5u}) {
                const std::uint32_t word = ApplyOptionSetting(start, *setting);
                EXPECT_EQ(word & ~pair, start & ~pair) << option.name << "=" << state.state;
                EXPECT_EQ(word & pair, expectedPair) << option.name << "=" << state.state;
                EXPECT_STREQ(OptionStateName(OptionStateIn(word, option)), state.state);
            }
        }
    }
}

TEST(OptionWord, BadSettings) {
    for (const char* text : {"", "=", "desktop", "desktop=", "=on", "desktop=On", "DESKTOP=on", "desktop =on",
                             "desktop= on", "desktop=on ", "desktop=ask_checked", "desktop=on=on", "icons=on"})
        EXPECT_FALSE(ParseOptionSetting(text)) << '"' << text << '"';
}

TEST(OptionWord, WordTexts) {
    struct Case {
        const char* text;
        std::optional<std::uint32_t> word;
    };
    const Case cases[] = {
        {"0x0", 0u},
        {"0X1ff0002", 0x01FF0002u},
        {"0x01FF0002", 0x01FF0002u},
        {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"0x00000000", 0u},
        {"0xabcdef", 0xABCDEFu},
        {"0x", std::nullopt},
        {"0x100000000", std::nullopt},
        {"0x000000000", std::nullopt},
        {"1FF0002", std::nullopt},
        {"33488898", std::nullopt},
        {"0x1G", std::nullopt},
        {" 0x1", std::nullopt},
        {"0x1 ", std::nullopt},
        {"-0x1", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseOptionsWord(c.text), c.word) << '"' << c.text << '"';
}

} // namespace
