#include "common/module_version.h"

#include "common/module_version_platform.h"
#include "common/string_format.h"

std::string GetModuleVersionText(const std::string& path) {
    char major = '?', minor1 = '?', minor2 = '?';
    if (!module_version_platform::CallVersionExport(path, major, minor1, minor2)) return {};
    return StringFormat("Ver %c.%c%c", major, minor1, minor2);
}
