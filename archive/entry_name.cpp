#include "archive/entry_name.h"

#include "archive/installation_names.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/text_utils.h"
#include "common/utf8.h"

namespace {

constexpr std::string_view kForbidden = "<>:\"/\\|?*";

// Windows opens these devices whatever extension follows the name.
constexpr const char* kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1", "COM2",
                                        "COM3", "COM4", "COM5", "COM6", "COM7",   "COM8",    "COM9", "LPT1",
                                        "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",   "LPT7",    "LPT8", "LPT9"};

bool IsDeviceName(std::string_view name) {
    // Blanks before the extension are ignored too.
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    for (const char* device : kDeviceNames)
        if (EqualsIgnoringCase(stem, device)) return true;
    return false;
}

} // namespace

std::string EntryNameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (name == "." || name == "..") return "names a directory";
    if (!IsValidUtf8(name)) return "is not valid UTF-8";
    if (name.size() > kMaxEntryNameBytes) return StringFormat("is longer than %zu bytes", kMaxEntryNameBytes);
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return StringFormat("contains the control character 0x%02X", byte);
        if (kForbidden.find(c) != std::string_view::npos) return StringFormat("contains '%c'", c);
    }
    if (name.back() == '.' || name.back() == ' ') return "ends with a dot or a space";
    if (IsDeviceName(name)) return "is a device name";
    return {};
}

std::string EntryPathProblem(std::string_view name) {
    if (name.size() > kMaxEntryNameBytes) return StringFormat("is longer than %zu bytes", kMaxEntryNameBytes);
    if (name.find(kEntrySeparator) == std::string_view::npos) return EntryNameProblem(name);
    for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = name.find(kEntrySeparator, start);
        if (end == std::string_view::npos) end = name.size();
        const std::string component(name.substr(start, end - start));
        if (component.empty()) return "has an empty component (a '\\' at its start or end, or two in a row)";
        if (const std::string problem = EntryNameProblem(component); !problem.empty())
            return StringFormat("has the component '%s', which %s", component.c_str(), problem.c_str());
        start = end + 1;
    }
    return {};
}

std::string NativeEntryPath(std::string_view name) {
    std::string path(name);
    if constexpr (kNativePathStyle != PathStyle::Windows)
        for (char& c : path)
            if (c == kEntrySeparator) c = PathSeparator();
    return path;
}

std::string EntryNameKey(std::string_view name) { return FoldCaseUtf8(name); }

bool IsUninstallerEntry(std::string_view name) { return EntryNameKey(name) == kUninstallerFileName; }

bool IsUninstallRecordEntry(std::string_view name) { return EntryNameKey(name) == kUninstallRecordFileName; }

std::string StoredFileName(const std::string& sourcePath) {
    const std::size_t separator =
        kNativePathStyle == PathStyle::Windows ? sourcePath.find_last_of("\\/") : sourcePath.rfind('/');
    return separator == std::string::npos ? sourcePath : sourcePath.substr(separator + 1);
}
