#include "tools/zorpack/zorpack.h"

#include "common/file.h"
#include "tools/zorpack/command_line.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/usage.h"

namespace zorpack {

namespace {

int Dispatch(const Request& request, Console& console) {
    switch (request.kind) {
    case CommandKind::Help:
        PrintUsage(console.out);
        return kExitSuccess;
    case CommandKind::Version:
        console.out << "zorpack " << ZORPACK_VERSION << '\n';
        return kExitSuccess;
    case CommandKind::Build:
        return RunBuild(request, console);
    case CommandKind::List:
        return RunList(request, console);
    case CommandKind::Verify:
        return RunVerify(request, console);
    case CommandKind::Extract:
        return RunExtract(request, console);
    }
    return kExitFailure;
}

} // namespace

int Run(const std::vector<std::string>& arguments, Console& console) {
    const ParseResult parsed = ParseCommandLine(arguments);
    if (!parsed.ok) return Report(console, parsed.error, kExitUsage);
    try {
        return Dispatch(parsed.request, console);
    } catch (const FileException& failure) {
        console.out << std::flush;
        return Report(console, failure.what());
    }
}

} // namespace zorpack
