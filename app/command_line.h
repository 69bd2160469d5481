// The program's arguments, split from the raw command line of the process.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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

// Cuts the argument that starts with prefix, and everything after it, off
// rawCommandLine (argument 0 is never taken for it): the convention of
// "/D=DIR", the last argument, whose value runs to the end of the line
// unquoted, spaces included. True with the text after prefix in value when
// there was such an argument; otherwise both are left as they were.
bool CutTrailingArgument(std::string& rawCommandLine, std::string_view prefix, std::string& value);
