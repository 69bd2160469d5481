// Shared by the resource tests natively and under Windows.
#pragma once

#include "tests/common/temp_dir.h"

#include <string>

// An icon file of two images: a 1x1 bitmap and a PNG.
std::string TwoImageIcon();

// Builds "Demo Setup.exe" in dir from the stub zorpack carries, with that
// icon, a publisher, a copyright line and version "1.2.3-beta"; its path, or
// empty with err holding zorpack's error output.
std::string BuildIconInstaller(const TempDir& dir, std::string& err);
