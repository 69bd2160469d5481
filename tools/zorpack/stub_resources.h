// The publisher's icon and version information in the extractor image, the
// part of every installer that Explorer shows.
#pragma once

#include "tools/zorpack/command_line.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

// True when the build asks for the image's resources to be rewritten
// (--version-info, --icon, --copyright or --description); without them the
// image stays byte for byte as it is.
bool WantsStubResources(const BuildRequest& build);

// Rewrites image's resources: the icon file's images as the icon (replacing
// any icon the image had), and a version resource of the build's texts
// (replacing any it had); the other resources, the manifest and dialogs,
// stay. False with a one-line error, image unchanged, when the icon file
// cannot be read or is no icon, or the image's resources cannot be
// rewritten (pe_resources.h).
bool ApplyStubResources(const BuildRequest& build, std::vector<std::uint8_t>& image, std::string& error);

} // namespace zorpack
