#include "app/registered_installation.h"

#include "archive/entry_name.h"
#include "common/path.h"
#include "common/text_utils.h"

std::string AppPathsName(const std::string& firstEntryName) {
    return GetPathPart(firstEntryName, kPathFileName, PathStyle::Windows);
}

std::string InstallationDirectoryFromRegisteredPath(const std::string& registeredPath,
                                                    const std::string& firstEntryName) {
    // The registered path is a path of this platform; the entry name is
    // stored with "\" whatever the platform.
    const std::string relative = NativeEntryPath(firstEntryName);
    const std::size_t length = registeredPath.size();
    if (length > relative.size() && registeredPath[length - relative.size() - 1] == PathSeparator() &&
        EqualsIgnoringCase(std::string_view(registeredPath).substr(length - relative.size()), relative)) {
        // Taken as if the executable lay at the top of the installation, so
        // that a drive root keeps its separator as GetPathPart keeps it.
        const std::string atTop =
            registeredPath.substr(0, length - relative.size()) + GetPathPart(relative, kPathFileName);
        return GetPathPart(atTop, kPathDirectory);
    }
    return GetPathPart(registeredPath, kPathDirectory);
}
