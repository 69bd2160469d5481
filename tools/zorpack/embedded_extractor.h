// The extractor images that zorpack puts in front of every archive unless
// --stub names another: the "EXE_SFX" resource kExtractorResourceId of the
// running program for machine-wide installers, kPerUserExtractorResourceId
// for per-user ones. zorpack.exe carries them as real resources; the POSIX
// zorpack carries the same bytes in its read-only data when it was built with
// them, and registers them at start-up.
#pragma once

namespace zorpack {

inline constexpr int kExtractorResourceId = 1;
inline constexpr int kPerUserExtractorResourceId = 2;

// Makes the images built into this program, if any, resources
// kExtractorResourceId and kPerUserExtractorResourceId. Call once before
// building.
void RegisterEmbeddedExtractor();

} // namespace zorpack
