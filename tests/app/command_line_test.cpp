#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

namespace {

std::vector<std::string> Arguments(const CommandLine& commandLine) {
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < commandLine.GetCount(); ++i) arguments.push_back(commandLine.GetAt(i));
    return arguments;
}

struct SplitCase {
    const char* line;
    std::vector<std::string> arguments;
};

TEST(CommandLine, SplitsAtSpacesOutsideQuotes) {
    const SplitCase cases[] = {
        {"", {}},
        {"setup.exe", {"setup.exe"}},
        {"setup.exe -c -v", {"setup.exe", "-c", "-v"}},
        {"setup.exe  -c", {"setup.exe", "-c"}},     // a run of spaces is one separator
        {"setup.exe -c   ", {"setup.exe", "-c"}},   // trailing spaces give nothing
        {"setup.exe\t-c", {"setup.exe\t-c"}},       // a tab does not separate
        {"setup.exe -c\t ", {"setup.exe", "-c\t"}}, // nor is it skipped
        {" setup.exe -c", {"", "setup.exe", "-c"}}, // a leading space gives an empty argument 0
        {"   setup.exe", {"", "setup.exe"}},        // however many spaces lead
        {" ", {""}},                                // the empty argument before the separator
        {"\"C:\\Program Files\\Zor\\setup.exe\" -f", {"C:\\Program Files\\Zor\\setup.exe", "-f"}},
        {"setup.exe \"two words\"", {"setup.exe", "two words"}},
        {"setup.exe a\"b c\"d", {"setup.exe", "ab cd"}},                 // quotes may open mid-argument
        {"setup.exe \"unclosed quote", {"setup.exe", "unclosed quote"}}, // runs to the end of the line
        {"setup.exe \"\" -c", {"setup.exe", "", "-c"}},                  // an empty quoted argument inside the line
        {"setup.exe -c \"\"", {"setup.exe", "-c"}},                      // but not as the last one
        {"setup.exe \"-c\"", {"setup.exe", "-c"}},
    };
    for (const SplitCase& c : cases) EXPECT_EQ(Arguments(CommandLine(c.line)), c.arguments) << "[" << c.line << "]";
}

TEST(CommandLine, BackslashQuoteBecomesOneQuote) {
    const SplitCase cases[] = {
        {"setup.exe a\\\"b", {"setup.exe", "a\"b"}},
        {"setup.exe \\\"", {"setup.exe", "\""}},
        // An escaped quote neither opens nor closes a quoted part...
        {"setup.exe \\\"a b", {"setup.exe", "\"a", "b"}},
        // ...so inside quotes it keeps the space from separating.
        {"setup.exe \"say \\\"hi\\\" now\"", {"setup.exe", "say \"hi\" now"}},
        // Only the backslash right before the quote is replaced.
        {"setup.exe a\\\\\"b", {"setup.exe", "a\\\"b"}},
        {"setup.exe a\\b\\", {"setup.exe", "a\\b\\"}},
        {"setup.exe \"\\\"\"", {"setup.exe", "\""}},
    };
    for (const SplitCase& c : cases) EXPECT_EQ(Arguments(CommandLine(c.line)), c.arguments) << "[" << c.line << "]";
}

TEST(CommandLine, NullLineHasNoArguments) {
    const CommandLine commandLine(nullptr);
    EXPECT_EQ(commandLine.GetCount(), 0u);
    EXPECT_EQ(commandLine.GetAt(0), "");
}

TEST(CommandLine, IndexBeyondTheCountGivesTheEmptyString) {
    const CommandLine commandLine("setup.exe -c");
    ASSERT_EQ(commandLine.GetCount(), 2u);
    EXPECT_EQ(commandLine.GetAt(1), "-c");
    EXPECT_EQ(commandLine.GetAt(2), "");
    EXPECT_EQ(commandLine.GetAt(static_cast<std::size_t>(-1)), "");
}

static_assert(std::has_virtual_destructor_v<CommandLine>);

} // namespace
