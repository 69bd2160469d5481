// Where the builder finds the extractor image: an "EXE_SFX" resource of the
// running program. Windows programs carry it as a real resource; programs
// built for POSIX, which have no resources, register the bytes they embed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The bytes of resource id of type "EXE_SFX"; false when there is none.
bool LoadExtractorResource(int id, std::vector<std::uint8_t>& image);

// Makes data (which must outlive every lookup) the "EXE_SFX" resource id of
// this program. Only POSIX lookups consult it.
void RegisterExtractorResource(int id, const std::uint8_t* data, std::size_t size);
