#include "common/module_version.h"
#include "common/module_version_platform.h"

#include <dlfcn.h>

namespace module_version_platform {

bool CallVersionExport(const std::string& path, char& major, char& minor1, char& minor2) {
    // dlopen searches the library path for a bare name; LoadLibraryA would look
    // beside the program first. Only explicit paths are meant here.
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return false;
    auto function = reinterpret_cast<ModuleVersionFunction>(::dlsym(module, kModuleVersionExport));
    if (function) function(&major, &minor1, &minor2);
    ::dlclose(module);
    return function != nullptr;
}

} // namespace module_version_platform
