#include "tests/support/process.h"

#include "common/path.h"
#include "common/system_info.h"

std::string ProgramBesideTests(const std::string& name) {
    const std::string extension = GetPathPart(GetModulePath(), kPathExtension);
    return BuildPath(GetModuleDirectory(), name, extension.empty() ? nullptr : extension.c_str());
}
