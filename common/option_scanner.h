// The options and operands of a command line, scanned against a table of
// the options a program knows.
//
// The rules every program applies the same way:
// - an argument of two or more characters starting with "-" is an option
//   word; "-" alone and anything else is an operand;
// - "--" ends the options: every argument after it is an operand;
// - a long option may carry its value after "=" ("--name=value"); a short
//   one never does ("-o=x" names no option);
// - an option that takes a value and has none after "=" takes the next
//   argument, whatever it looks like ("-o --help" names the file "--help").
// What to do with each finding (which options a command allows, the texts
// of refusals, whether operands are welcome) is the program's own.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

struct OptionRule {
    const char* longName;  // "--name"
    const char* shortName; // "-n", or nullptr when there is none
    bool takesValue;
    int id; // the program's own number for the option
};

struct ScannedArgument {
    enum class Kind {
        Operand,         // text: the argument
        EndOfOptions,    // text: "--"
        Option,          // rule, and value when it takes one
        UnknownOption,   // text: an option word that names no rule
        MissingValue,    // rule needs a value but text is the last argument
        UnexpectedValue, // rule takes no value but text gives one after "="
    };
    Kind kind = Kind::Operand;
    const OptionRule* rule = nullptr; // Option, MissingValue, UnexpectedValue
    std::string text;                 // the argument as given
    std::string value;
};

// Walks arguments from first on, one finding at a time. The scan may go on
// after a refusal (each finding stands alone), though programs usually stop
// at the first.
class OptionScanner {
public:
    OptionScanner(std::span<const OptionRule> rules, const std::vector<std::string>& arguments, std::size_t first = 0)
        : rules_(rules), arguments_(arguments), next_(first) {}

    // The next finding; false once every argument has been scanned.
    bool Next(ScannedArgument& scanned);

private:
    const OptionRule* Find(const std::string& argument) const;

    std::span<const OptionRule> rules_;
    const std::vector<std::string>& arguments_;
    std::size_t next_;
    bool optionsEnded_ = false;
};
