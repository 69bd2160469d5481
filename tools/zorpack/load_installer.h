// Loading an existing installer for the commands that read one.
#pragma once

#include "tools/zorpack/console.h"

#include <cstdint>
#include <string>

class InstallerArchive;

namespace zorpack {

class ProgressReporter;

// Loads the archive of the installer at path, its lines going to progress.
// False, after writing why to err (the archive's error text), when it is no
// readable installer.
bool LoadForReading(InstallerArchive& archive, const std::string& path, ProgressReporter& progress, Console& console);

// Raises the failure of the file layer that ended the archive's last load,
// extraction or verification as FileException, which the program's top
// level reports as it reports every other; nothing when there was none.
void RaiseFileFailure(const InstallerArchive& archive);

} // namespace zorpack
