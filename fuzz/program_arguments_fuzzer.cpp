// Splits an arbitrary command line as the installer stub does at start-up,
// with its trailing switches: "/D=" (the installation directory) and the
// uninstaller's internal "/_remove=PID:PATH", with which an uninstaller's
// copy is told to delete the uninstaller.
//
// Input: the raw command line, up to its first NUL byte (the process gets it
// as a C string).
//
// Besides what the sanitizers catch, the target aborts when the split does
// not hold what it promises:
//  - "/_remove=" takes the rest of the line: the line ends with it and its
//    value, and the line without them splits into the same options and
//    directory, with no removal;
//  - "/D=" and its value are in the line;
//  - silent says whether "/S" is among the options.
#include "app/program_arguments.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(reinterpret_cast<const char*>(data), std::find(data, data + size, 0) - data);
    const ProgramArguments arguments = ParseProgramArguments(raw);

    Check(arguments.silent ==
          (std::find(arguments.options.begin(), arguments.options.end(), kSilentSwitch) != arguments.options.end()));
    if (arguments.hasDirectory) {
        const std::string& directory = arguments.directory;
        Check(Contains(raw, kDirectorySwitch + directory) ||
              (!directory.empty() && directory[0] == '"' && Contains(raw, kDirectorySwitch + directory.substr(1))));
    }
    if (arguments.hasRemoval) {
        const std::string tail = kRemovalSwitch + arguments.removal;
        Check(raw.size() >= tail.size() && raw.compare(raw.size() - tail.size(), tail.size(), tail) == 0);
        const ProgramArguments rest = ParseProgramArguments(raw.substr(0, raw.size() - tail.size()));
        Check(!rest.hasRemoval && rest.options == arguments.options && rest.silent == arguments.silent &&
              rest.hasDirectory == arguments.hasDirectory && rest.directory == arguments.directory);
    } else {
        Check(arguments.removal.empty());
    }
    return 0;
}
