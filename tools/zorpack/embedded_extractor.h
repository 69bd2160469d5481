// The extractor image that zorpack puts in front of every archive unless
// --stub names another: the "EXE_SFX" resource kExtractorResourceId of the
// running program. zorpack.exe carries it as a real resource; the POSIX
// zorpack carries the same bytes in its read-only data when it was built with
// one, and registers them at start-up.
#pragma once

namespace zorpack {

inline constexpr int kExtractorResourceId = 1;

// Makes the image built into this program, if any, resource
// kExtractorResourceId. Call once before building.
void RegisterEmbeddedExtractor();

} // namespace zorpack
