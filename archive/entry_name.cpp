#include "archive/entry_name.h"

#include "common/path.h"
#include "common/text_utils.h"

#include <cstring>

namespace {

bool IsReservedDevice(const std::string& name) {
    // Windows reserves the device names whatever extension follows, and
    // ignores blanks before the extension.
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL"})
        if (EqualsIgnoringCase(stem, device)) return true;
    if (stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9')
        return StartsWithIgnoringCase(stem, "COM") || StartsWithIgnoringCase(stem, "LPT");
    return false;
}

} // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c < 0x20 || std::strchr("\\/:<>\"|?*", c) != nullptr) return false;
    return !IsReservedDevice(name);
}

std::string StoredFileName(const std::string& sourcePath) {
    const std::size_t separator =
        kNativePathStyle == PathStyle::Windows ? sourcePath.find_last_of("\\/") : sourcePath.rfind('/');
    return separator == std::string::npos ? sourcePath : sourcePath.substr(separator + 1);
}
