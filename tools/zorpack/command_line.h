// The zorpack command line turned into a request, without touching any file.
#pragma once

#include "archive/compression_settings.h"
#include "tools/zorpack/winget_manifest.h"

#include <cstdint>

#include <string>
#include <vector>

namespace zorpack {

// What --sign-command's template names the file to sign and the signed
// file by.
inline constexpr char kSignInput[] = "{in}";
inline constexpr char kSignOutput[] = "{out}";

// The most compression threads --threads takes.
inline constexpr unsigned kMaxThreads = 64;

enum class CommandKind { Help, Version, Build, List, Verify, Extract };

// What "zorpack build" was asked to write.
struct BuildRequest {
    std::string output;
    std::string appName;
    std::string version;
    std::string shortcutName; // the application name unless given
    std::string windowList;   // ";"-separated window titles, as given
    // Empty when not given: the installer then carries no extension block.
    std::string publisher;
    std::string installDir; // a template (install_folder.h)
    std::string stubPath;   // empty: the extractor image built into zorpack
    // The stored name of the main executable, which becomes the first entry;
    // empty: the first input file is.
    std::string mainEntry;
    // With an uninstaller: the name of its registry entry below
    // ...\CurrentVersion\Uninstall (what package managers call the product code).
    bool uninstaller = false;
    std::string uninstallKey;
    std::uint32_t options = 0;
    // --compression, --solid, --dictionary; threads 0 (no --threads): the
    // machine's cores.
    CompressionSettings compression{CompressionMethod::Deflate, false, 0, 0};
    bool allowDuplicates = false;
    // Stored times clamped (reproducible_times.h): to SOURCE_DATE_EPOCH when
    // it is set, whether or not this is; otherwise to the inputs' latest write.
    bool reproducible = false;
    WingetRequest winget; // winget_manifest.h
    // For the current user only: the per-user stub (unless --stub names
    // one) and the extension pair scope=per-user.
    bool perUser = false;
    // The icon and version information of the installer (stub_resources.h):
    // versionInfo is set by --version-info and by each of the three others.
    bool versionInfo = false;
    std::string iconPath;
    std::string copyright;
    std::string description;
    // Empty: nothing is signed. Otherwise a shell command with kSignInput
    // and kSignOutput, run on the uninstaller image (with an uninstaller)
    // and on the finished installer (sign_command.h).
    std::string signCommand;
    // Input files as given; "@name" entries are list files, expanded later.
    std::vector<std::string> inputs;
};

// The uninstall key made from the publisher (ZorSoftware when empty) and the
// application name: "Publisher AppName", each character that a registry key
// name or file name cannot hold replaced by "_".
std::string DefaultUninstallKey(const std::string& publisher, const std::string& appName);

struct Request {
    CommandKind kind = CommandKind::Help;
    bool verbose = false;
    BuildRequest build;          // Build
    std::string installer;       // List, Verify, Extract
    std::string targetDirectory; // Extract
};

// Either a request or, for a command line that cannot be carried out as
// written, a one-line reason (without the "zorpack: " prefix).
struct ParseResult {
    bool ok = false;
    Request request;
    std::string error;
};

// arguments excludes the program name. Options and operands may be mixed;
// "--" ends the options. Long options take their value as the next argument
// or after "=". "-h"/"--help" anywhere asks for the usage text; "--version"
// alone (before any command) asks for the tool's own version. Texts given to
// the installer must be UTF-8. For build,
// --options sets the whole word before any --option, and --store is applied
// last, whatever their order on the command line.
ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace zorpack
