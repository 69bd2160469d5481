// The program's arguments, split from the raw command line of the process.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Argument 0 is the program path as the command line states it; options
// start at argument 1.
class CommandLine {
public:
    // Splits rawCommandLine at spaces outside double quotes and unquotes each
    // piece. A null text gives no arguments.
    explicit CommandLine(const char* rawCommandLine);
    virtual ~CommandLine();

    std::size_t GetCount() const { return arguments_.size(); }
    // The argument at index; the empty string at or beyond the count.
    std::string GetAt(std::size_t index) const;

private:
    std::vector<std::string> arguments_;
};
