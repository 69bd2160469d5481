// Per-platform primitive behind GetModuleVersionText.
#pragma once

#include <string>

namespace module_version_platform {

// Loads path, calls its version export with the three outputs, unloads it.
bool CallVersionExport(const std::string& path, char& major, char& minor1, char& minor2);

} // namespace module_version_platform
