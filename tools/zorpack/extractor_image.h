// The extractor image that --stub names: a Windows executable that carries
// no installation archive yet.
#pragma once

#include "common/file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

// Reads the image at path into image, with its identity. False with a
// one-line error when it cannot be read, is not a plain file, is no PE
// executable (an "MZ" header whose e_lfanew field points at "PE\0\0"),
// already ends with an installation archive, or is too large.
bool ReadExtractorImage(const std::string& path, std::vector<std::uint8_t>& image, FileIdentity& identity,
                        std::string& error);

} // namespace zorpack
