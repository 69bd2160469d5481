// Reads an arbitrary argument list as zorpack's command line: the option
// scanner and every value check behind it (texts, names, templates, the
// options word).
//
// Input: the arguments, each ended by a NUL byte (the last one need not be).
//
// Besides what the sanitizers catch, the target aborts when the result
// breaks its contract: a refusal always says why; an accepted build has the
// three required texts, valid UTF-8 where the installer shows them, and at
// least one input; a reading command has its installer (and directory)
// among the arguments.
#include "common/utf8.h"
#include "tools/zorpack/command_line.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// An operand is one of the arguments, as given.
bool IsGiven(const std::vector<std::string>& arguments, const std::string& operand) {
    return std::find(arguments.begin() + 1, arguments.end(), operand) != arguments.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> arguments;
    const char* text = reinterpret_cast<const char*>(data);
    for (std::size_t start = 0; start < size;) {
        std::size_t end = start;
        while (end < size && text[end] != '\0') ++end;
        arguments.emplace_back(text + start, end - start);
        start = end + 1;
    }

    const zorpack::ParseResult parsed = zorpack::ParseCommandLine(arguments);
    if (!parsed.ok) {
        Check(!parsed.error.empty());
        return 0;
    }
    Check(parsed.error.empty());
    const zorpack::Request& request = parsed.request;
    switch (request.kind) {
    case zorpack::CommandKind::Build: {
        const zorpack::BuildRequest& build = request.build;
        Check(!build.output.empty() && !build.appName.empty() && !build.version.empty() && !build.inputs.empty());
        Check(!build.shortcutName.empty() && IsValidUtf8(build.appName) && IsValidUtf8(build.version) &&
              IsValidUtf8(build.shortcutName) && IsValidUtf8(build.windowList));
        Check(!build.uninstaller || !build.uninstallKey.empty());
        break;
    }
    case zorpack::CommandKind::Extract:
        Check(IsGiven(arguments, request.targetDirectory));
        [[fallthrough]];
    case zorpack::CommandKind::List:
    case zorpack::CommandKind::Verify:
        Check(IsGiven(arguments, request.installer));
        break;
    case zorpack::CommandKind::Version:
        Check(arguments.size() == 1);
        break;
    case zorpack::CommandKind::Help:
        break;
    }
    return 0;
}
