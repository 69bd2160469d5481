// "zorpack list": what the installer's "-c" shows (application name and
// version, shortcut name, window search list, file list), with the options
// word spelled out, the extension block's pairs and each file's sizes.
#include "archive/installer_archive.h"
#include "common/string_format.h"
#include "common/text_utils.h"
#include "tools/zorpack/commands.h"
#include "tools/zorpack/load_installer.h"
#include "tools/zorpack/option_word.h"
#include "tools/zorpack/progress.h"

#include <vector>

namespace zorpack {

namespace {

void PrintWindowList(const std::string& windowList, std::ostream& out) {
    // Cut as the installer cuts it: every ";" separates, empty pieces count.
    std::vector<std::string> titles;
    SplitByChars(windowList, ";", titles);
    out << "Window search list:\n";
    for (const std::string& title : titles) out << "    " << (title.empty() ? "(empty)" : title) << '\n';
}

// The word as stored, each option as the installer will treat it: a
// per-user installer neither offers nor applies the all-users option,
// whatever its bits say (the stub clears them at start).
void PrintOptions(std::uint32_t options, bool perUser, std::ostream& out) {
    out << StringFormat("Options: 0x%08X (files %s)\n", options, options & kCompressFiles ? "compressed" : "stored");
    for (const InstallOption& option : kInstallOptions) {
        const char* state = perUser && option.checkedBit == kOptionAllUsers
                                ? "off (per-user installer)"
                                : OptionStateName(OptionStateIn(options, option));
        out << StringFormat("    %-13s %s\n", option.name, state);
    }
}

// Only an installer with an extension block gets this part, so the listing
// of any other installer stays as it was.
void PrintExtensions(const std::vector<ExtensionPair>& pairs, std::ostream& out) {
    if (pairs.empty()) return;
    out << "Extension block:\n";
    for (const ExtensionPair& pair : pairs) out << "    " << pair.key << " = " << pair.value << '\n';
}

// A solid stream has no size per file: the column shows "-", the total the
// stream's. Entries that went through the x86 branch filter say so.
void PrintFiles(const InstallerArchive& archive, std::ostream& out) {
    const std::vector<ArchiveEntry>& entries = archive.GetEntries();
    const bool solid = archive.GetCompression().solid;
    out << StringFormat("Files: %zu\n", entries.size());
    out << StringFormat("    %12s %12s  %s\n", "size", "stored", "name");
    std::uint64_t stored = 0;
    for (const ArchiveEntry& entry : entries) {
        const std::string size = solid ? "-" : std::to_string(entry.storedSize);
        const bool filtered = (entry.coding & archive_format::kBranchFilterCoding) != 0;
        out << StringFormat("    %12u %12s  %s%s\n", entry.originalSize, size.c_str(), entry.name.c_str(),
                            filtered ? "  (x86 filter)" : "");
        stored += entry.storedSize;
    }
    if (solid && !entries.empty()) stored = archive.GetTocOffset() - entries.front().dataOffset;
    out << StringFormat("    %12llu %12llu  total%s\n", static_cast<unsigned long long>(archive.GetTotalOriginalSize()),
                        static_cast<unsigned long long>(stored), solid ? " (one solid stream)" : "");
}

} // namespace

int RunList(const Request& request, Console& console) {
    InstallerArchive archive;
    ProgressReporter progress(console, request.verbose);
    if (!LoadForReading(archive, request.installer, progress, console)) return kExitFailure;
    std::ostream& out = console.out;
    out << "Application name: " << archive.GetAppName() << " (" << archive.GetVersion() << ")\n";
    out << "Shortcut name: " << archive.GetShortcutName() << '\n';
    PrintWindowList(archive.GetWindowList(), out);
    using namespace archive_format::extension_block;
    PrintOptions(archive.GetOptions(), archive.GetExtension(kScopeKey) == kPerUserScope, out);
    PrintExtensions(archive.GetExtensions(), out);
    PrintFiles(archive, out);
    return kExitSuccess;
}

} // namespace zorpack
