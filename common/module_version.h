// The version a module reports through its "ZorGetExeVersion" export.
#pragma once

#include <string>

// Loads the module at path, calls its export
//   extern "C" void ZorGetExeVersion(char* major, char* minor1, char* minor2)
// which writes one character each (a major digit, then two minor digits), and
// returns "Ver <major>.<minor1><minor2>"; the module is unloaded afterwards.
// The empty string when the module cannot be loaded or lacks the export.
std::string GetModuleVersionText(const std::string& path);

// The export's name and signature, for modules that provide it.
inline constexpr const char* kModuleVersionExport = "ZorGetExeVersion";
using ModuleVersionFunction = void (*)(char* major, char* minor1, char* minor2);
