#include "common/module_version.h"
#include "common/module_version_platform.h"
#include "common/windows_api.h"

namespace module_version_platform {

bool CallVersionExport(const std::string& path, char& major, char& minor1, char& minor2) {
    HMODULE module = ::LoadLibraryA(path.c_str());
    if (module == nullptr) return false;
    auto function = reinterpret_cast<ModuleVersionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(module, kModuleVersionExport)));
    if (function) function(&major, &minor1, &minor2);
    ::FreeLibrary(module);
    return function != nullptr;
}

} // namespace module_version_platform
