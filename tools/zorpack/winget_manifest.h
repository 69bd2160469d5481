// The winget manifest of an installer (--winget DIR): the three files of a
// multi-file manifest of schema 1.6.0, the version, the default locale
// (en-US) and the installer, named PACKAGE-ID.yaml,
// PACKAGE-ID.locale.en-US.yaml and PACKAGE-ID.installer.yaml.
#pragma once

#include <string>

namespace zorpack {

struct BuildRequest;

struct WingetRequest {
    std::string directory;    // where the manifest goes; empty: none is written
    std::string packageId;    // empty: Publisher.Name, blanks taken out
    std::string installerUrl; // empty: a placeholder, and a warning
    std::string license;      // empty: "Proprietary"
};

// Empty when build's winget options can make a manifest winget accepts (or
// none is asked for); otherwise why not, as one sentence.
std::string WingetOptionsProblem(const BuildRequest& build);

// The package identifier the manifest gives the installer.
std::string WingetPackageId(const BuildRequest& build);

// Writes the manifest of the finished installer at installerPath (its
// SHA-256 is taken now) into build.winget.directory, made as needed; each
// file is written whole or not at all. Empty on success; otherwise why not.
std::string WriteWingetManifest(const BuildRequest& build, const std::string& installerPath);

} // namespace zorpack
