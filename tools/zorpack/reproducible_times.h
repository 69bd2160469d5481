// The moment a reproducible build clamps the stored file times to, so that
// the same inputs give the same installer on any machine and from any
// checkout: whoever last read a file, and when it was checked out, no longer
// show in the bytes.
#pragma once

#include "common/file_time.h"
#include "tools/zorpack/input_files.h"

#include <optional>
#include <string>
#include <vector>

namespace zorpack {

// sourceDateEpoch: the value of SOURCE_DATE_EPOCH (the reproducible-builds
// convention: decimal seconds since 1970-01-01 00:00 UTC), empty when it is
// unset. When it is set, the ceiling is that moment; otherwise, when
// reproducible, the latest write time among files; otherwise none. Empty
// when chosen; otherwise why not, as a sentence.
std::string ChooseTimeCeiling(const std::string& sourceDateEpoch, bool reproducible,
                              const std::vector<InputFile>& files, std::optional<FileTime>& ceiling);

} // namespace zorpack
