// Real installer files for the start-up tests, written by the archive's own
// builder from files made on the spot.
#pragma once

#include "archive/extension_block.h"

#include <string>
#include <utility>
#include <vector>

struct InstallerContent {
    std::string appName = "Zor Demo";
    std::string version = "1.2.3";
    std::string shortcutName = "Zor Demo App";
    std::string windowList = "Zor Demo;ZorDemo";
    // Entry names (folders joined by "\") with their contents, in archive order.
    std::vector<std::pair<std::string, std::string>> files = {{"demo.exe", "MZ demo program"},
                                                              {"readme.txt", "Read me first.\n"}};
    // The extension block's pairs; none: no block.
    std::vector<ExtensionPair> extensions;
};

// Builds the installer at path (its source files go to a directory beside
// it). The test fails when the builder refuses.
void WriteInstaller(const std::string& path, const InstallerContent& content);

// The progress lines that loading the installer at path reports.
std::vector<std::string> LoadingLines(const std::string& path);
