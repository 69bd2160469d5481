#include "common/option_scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr OptionRule kRules[] = {
    {"--output", "-o", true, 1},
    {"--verbose", "-v", false, 2},
    {"--name", nullptr, true, 3},
};

// Each finding as one word: "op:TEXT", "end", "opt:ID" or "opt:ID=VALUE",
// "unknown:TEXT", "missing:ID", "unexpected:ID".
std::vector<std::string> Findings(const std::vector<std::string>& arguments, std::size_t first = 0) {
    std::vector<std::string> findings;
    OptionScanner scanner(kRules, arguments, first);
    for (ScannedArgument scanned; scanner.Next(scanned);) {
        const std::string id = scanned.rule ? std::to_string(scanned.rule->id) : "";
        switch (scanned.kind) {
        case ScannedArgument::Kind::Operand:
            findings.push_back("op:" + scanned.text);
            break;
        case ScannedArgument::Kind::EndOfOptions:
            findings.push_back("end");
            break;
        case ScannedArgument::Kind::Option:
            findings.push_back("opt:" + id + (scanned.rule->takesValue ? "=" + scanned.value : ""));
            break;
        case ScannedArgument::Kind::UnknownOption:
            findings.push_back("unknown:" + scanned.text);
            break;
        case ScannedArgument::Kind::MissingValue:
            findings.push_back("missing:" + id);
            break;
        case ScannedArgument::Kind::UnexpectedValue:
            findings.push_back("unexpected:" + id);
            break;
        }
    }
    return findings;
}

using Words = std::vector<std::string>;

TEST(OptionScanner, FindsOptionsOperandsAndRefusalsByOneSetOfRules) {
    const struct {
        Words arguments;
        Words findings;
    } cases[] = {
        {{}, {}},
        {{"a", "-", "b"}, {"op:a", "op:-", "op:b"}},
        {{"-o", "x", "--output", "y", "--output=z", "--output="}, {"opt:1=x", "opt:1=y", "opt:1=z", "opt:1="}},
        {{"-v", "--verbose", "a", "--name", "n"}, {"opt:2", "opt:2", "op:a", "opt:3=n"}},
        // A value is the next argument whatever it looks like.
        {{"-o", "--verbose", "--name", "-"}, {"opt:1=--verbose", "opt:3=-"}},
        {{"--name=a=b"}, {"opt:3=a=b"}},
        // "--" ends the options once; a second one is an operand.
        {{"--", "--", "-v", "--name=x"}, {"end", "op:--", "op:-v", "op:--name=x"}},
        {{"-x", "--nam", "--names", "-o=x", "-=", "-vv"},
         {"unknown:-x", "unknown:--nam", "unknown:--names", "unknown:-o=x", "unknown:-=", "unknown:-vv"}},
        {{"a", "-o"}, {"op:a", "missing:1"}},
        {{"--name"}, {"missing:3"}},
        {{"--verbose=", "--verbose=1", "a"}, {"unexpected:2", "unexpected:2", "op:a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Findings(c.arguments), c.findings) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(Findings({"-v", "-o", "x"}, 1), (Words{"opt:1=x"})) << "the scan starts where it is told";
}

} // namespace
