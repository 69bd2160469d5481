#include "common/option_scanner.h"

#include <string_view>

const OptionRule* OptionScanner::Find(const std::string& argument) const {
    const std::string_view name = std::string_view(argument).substr(0, argument.find('='));
    for (const OptionRule& rule : rules_)
        if (name == rule.longName || (rule.shortName != nullptr && argument == rule.shortName)) return &rule;
    return nullptr;
}

bool OptionScanner::Next(ScannedArgument& scanned) {
    if (next_ >= arguments_.size()) return false;
    scanned = ScannedArgument();
    scanned.text = arguments_[next_++];
    const std::string& argument = scanned.text;
    if (optionsEnded_ || argument.size() < 2 || argument[0] != '-') return true; // an operand
    if (argument == "--") {
        optionsEnded_ = true;
        scanned.kind = ScannedArgument::Kind::EndOfOptions;
        return true;
    }
    scanned.rule = Find(argument);
    if (scanned.rule == nullptr) {
        scanned.kind = ScannedArgument::Kind::UnknownOption;
        return true;
    }
    // A rule found with an "=" in the argument was found by its long name.
    const std::size_t equals = argument.find('=');
    if (equals != std::string::npos) {
        scanned.kind =
            scanned.rule->takesValue ? ScannedArgument::Kind::Option : ScannedArgument::Kind::UnexpectedValue;
        if (scanned.rule->takesValue) scanned.value = argument.substr(equals + 1);
        return true;
    }
    if (!scanned.rule->takesValue) {
        scanned.kind = ScannedArgument::Kind::Option;
    } else if (next_ < arguments_.size()) {
        scanned.kind = ScannedArgument::Kind::Option;
        scanned.value = arguments_[next_++];
    } else {
        scanned.kind = ScannedArgument::Kind::MissingValue;
    }
    return true;
}
