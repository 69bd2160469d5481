#include "common/system_info.h"

#include "common/path.h"

std::string GetModuleDirectory() { return GetPathPart(GetModulePath(), kPathDirectory); }

std::string GetModuleFileNameOnly() {
    const std::string path = GetModulePath();
    if (path.find(PathSeparator()) == std::string::npos) return "[NoModuleName]";
    return GetPathPart(path, kPathFileName);
}

const char* GetModuleBaseName() {
    static std::string baseName;
    baseName = GetPathPart(GetPathPart(GetModulePath(), kPathFileName), kPathBaseName);
    return baseName.c_str();
}
