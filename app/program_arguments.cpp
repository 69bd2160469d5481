#include "app/program_arguments.h"

#include "app/command_line.h"

ProgramArguments ParseProgramArguments(const std::string& rawCommandLine) {
    ProgramArguments arguments;
    std::string line = rawCommandLine;
    arguments.hasRemoval = CutTrailingArgument(line, kRemovalSwitch, arguments.removal);
    arguments.hasDirectory = CutTrailingArgument(line, kDirectorySwitch, arguments.directory);
    if (!arguments.hasDirectory &&
        CutTrailingArgument(line, std::string("\"") + kDirectorySwitch, arguments.directory)) {
        arguments.hasDirectory = true;
        arguments.directory.insert(0, 1, '"');
    }
    const CommandLine commandLine(line.c_str());
    for (std::size_t i = 1; i < commandLine.GetCount(); ++i) {
        arguments.options.push_back(commandLine.GetAt(i));
        if (arguments.options.back() == kSilentSwitch) arguments.silent = true;
    }
    return arguments;
}
