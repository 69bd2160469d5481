#include "archive/archive_format.h"

#include "common/string_format.h"

#include <iterator>

namespace {

constexpr const char* kErrorTexts[] = {
    "ErrorZorInstaller: Success",
    "ErrorZorInstaller: Unable to get file infos.",
    "ErrorZorInstaller: Unable to open file.",
    "ErrorZorInstaller: no auto extract executable or file not found.",
    "ErrorZorInstaller: Bad signature",
    "ErrorZorInstaller: Bad TOC",
    "ErrorZorInstaller: Bad datas list.",
    "ErrorZorInstaller: Memory allocation.",
    "ErrorZorInstaller: Archive file version not supported.",
    "ErrorZorInstaller: Unable to create directory.",
    "ErrorZorInstaller: Unable to extract file.",
    "ErrorZorInstaller: File changed while it was archived.",
    "ErrorZorInstaller: The installer would reach 4 GiB.",
    "ErrorZorInstaller: Unable to compress file.",
    "ErrorZorInstaller: Unable to write the installer file.",
    "ErrorZorInstaller: Bad extension block.",
};

} // namespace

std::string ZorInstallerErrorText(int code) {
    if (code >= 0 && code < static_cast<int>(std::size(kErrorTexts))) return kErrorTexts[code];
    return StringFormat("ErrorZorInstaller (%d)", code);
}
