// The version resource of an executable (what Explorer shows under Details
// and GetFileVersionInfo reads). Every block has the same frame, integers
// little-endian, texts UTF-16 with a NUL:
//
//   0 length of the block, its children included   2 length of its value
//   (in 16-bit units for a text, in bytes otherwise)   4 type (1 text,
//   0 binary)   6 its key; then zeros up to a multiple of 4 (counted from
//   the resource's start), the value, zeros again, and the children, each
//   starting at a multiple of 4
//
//   "VS_VERSION_INFO"   value: the 52-byte fixed information (signature
//                       0xFEEF04BD, structure version 1.0, file and product
//                       version as two 32-bit halves each, flags, OS
//                       0x40004 (Windows NT, 32-bit API), type 1 (program))
//     "StringFileInfo"
//       "040904B0"      the texts in US English, Unicode code page
//         one block per text: its name as key, the text as value
//     "VarFileInfo"
//       "Translation"   value: language 0x0409, code page 1200
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorpack {

// The language of the texts, which the resources zorpack adds are filed under.
inline constexpr std::uint16_t kUsEnglish = 0x0409;

// The leading numeric parts of a version text, up to four, for the binary
// fields: "2.1.7-beta" gives 2, 1, 7, 0; parts after the first that is not a
// number from 0 to 65535 count as 0.
std::array<std::uint16_t, 4> VersionNumbers(std::string_view text);

// The resource: numbers as file and product version, and the texts (name,
// UTF-8 value) in the order given. Empty when the texts are too long for the
// blocks' 16-bit lengths (some 30,000 characters in all).
std::vector<std::uint8_t> VersionResource(const std::array<std::uint16_t, 4>& numbers,
                                          const std::vector<std::pair<std::string, std::string>>& texts);

} // namespace zorpack
