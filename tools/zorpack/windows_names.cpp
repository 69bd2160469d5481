#include "tools/zorpack/windows_names.h"

#include "common/path.h"
#include "common/string_format.h"
#include "common/text_utils.h"

namespace zorpack {

namespace {

constexpr std::string_view kForbidden = "<>:\"/\\|?*";

// Windows opens these devices whatever extension follows the name.
constexpr const char* kDeviceNames[] = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                        "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                        "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

} // namespace

std::string WindowsFileNameProblem(std::string_view name) {
    if (name.empty()) return "is empty";
    if (name.size() >= kMaxPath) return StringFormat("is longer than %zu characters", kMaxPath - 1);
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20) return StringFormat("contains the control character 0x%02X", byte);
        if (kForbidden.find(c) != std::string_view::npos) return StringFormat("contains '%c'", c);
    }
    // Windows drops trailing dots and spaces, so the file created would
    // carry another name than the one stored.
    if (name.back() == '.' || name.back() == ' ') return "ends with a dot or a space";
    const std::string_view stem = name.substr(0, name.find('.'));
    for (const char* device : kDeviceNames)
        if (EqualsIgnoringCase(stem, device)) return "is a device name";
    return {};
}

std::string FileNameKey(std::string_view name, bool caseSensitive) {
    std::string key(name);
    if (!caseSensitive)
        for (char& c : key)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

} // namespace zorpack
