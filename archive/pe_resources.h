// The resources of a Windows executable, read from its resource section and
// written back as a new one: how zorpack gives an installer the publisher's
// icon and version information.
//
// The resource section (data directory 2) is a tree of three levels, type,
// name and language, each a directory; all offsets inside the tree count
// from the section's start, and integers are little-endian:
//
//   directory    16 bytes: 0 characteristics, 4 time stamp, 8/10 version
//                (all written as 0), 12 count of named entries, 14 count of
//                numbered entries; then the entries, 8 bytes each, named
//                ones first (ascending by name), then numbered ones
//                (ascending by number)
//   entry        0 the name: bit 31 set, the offset of a name string; or a
//                16-bit number. 4 bit 31 set: the offset of the directory
//                of the next level; clear (the language level only): the
//                offset of a data entry
//   data entry   16 bytes: 0 the data's RVA (an address in the loaded
//                image, not an offset in the section), 4 its size,
//                8 code page, 12 reserved (0)
//   name string  a 16-bit count of UTF-16 code units, then the units
//
// WritePeResources lays a new section out as directories (types, then
// every type's names, then every name's languages), then data entries,
// then name strings, then the data, each datum at a multiple of 8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A type or name: a number, or (when name is not empty) a name.
struct PeResourceId {
    std::u16string name;
    std::uint16_t number = 0;

    bool operator==(const PeResourceId&) const = default;
};

struct PeResource {
    PeResourceId type;
    PeResourceId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::vector<std::uint8_t> data;
};

namespace pe_resource_type {
inline constexpr std::uint16_t kIcon = 3;
inline constexpr std::uint16_t kGroupIcon = 14;
inline constexpr std::uint16_t kVersion = 16;
inline constexpr std::uint16_t kManifest = 24;
} // namespace pe_resource_type

// The resources of image, a whole executable file, in the tree's order.
// False with a one-line error when the image's headers or its resource tree
// are malformed: anything that points outside the image or its section,
// more than 65,536 resources, or more than 64 MiB of their data. An image
// without a resource section has no resources.
bool ReadPeResources(const std::vector<std::uint8_t>& image, std::vector<PeResource>& resources, std::string& error);

// Replaces the resource section of image by one holding resources (any
// order; written sorted as the format wants). The section keeps its place;
// the base relocation section, if it follows, moves up behind it, and the
// image's sizes follow. The CheckSum field is then recomputed. False with a
// one-line error, and image unchanged, when the image has no resource
// section, when a section other than the base relocations follows it, when
// a data directory other than those two points into what moves, when a
// section before it reaches into it (in the file or in memory) or it starts
// inside the headers, or when the image is code-signed (its signature would
// no longer match).
bool WritePeResources(std::vector<std::uint8_t>& image, const std::vector<PeResource>& resources, std::string& error);
