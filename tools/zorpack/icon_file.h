// Windows icon files (.ico) and the two kinds of resource an icon becomes in
// an executable. All integers are little-endian.
//
//   file header      0 reserved (0)   2 type (1: icon)   4 image count
//   directory entry  16 bytes per image, after the header: 0 width, 1 height
//                    (0 for 256), 2 colour count, 3 reserved, 4 planes,
//                    6 bits per pixel, 8 the image's size in bytes, 12 its
//                    offset in the file
//   image            a PNG file, or a device-independent bitmap that starts
//                    with its 40-byte BITMAPINFOHEADER
//
// In an executable each image is an icon resource of its own (its bytes
// unchanged), and an icon group resource lists them: the same 6-byte header,
// then 14 bytes per image, the directory entry's first 12 bytes followed by
// the 16-bit number of that image's icon resource.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

struct IconImage {
    std::uint8_t entry[12]; // the directory entry up to the size, as the file has it
    std::vector<std::uint8_t> data;
};

// The largest icon file zorpack reads, and the most images it takes.
inline constexpr std::uint64_t kMaxIconFileSize = 16u << 20;
inline constexpr std::size_t kMaxIconImages = 64;

// The images of an icon file, in the file's order. False with a one-line
// error when bytes are not one: a header that is not an icon's, no image or
// more than kMaxIconImages, an entry that reaches past the end of the file
// or into the directory, an image of no bytes, or one that is neither PNG
// nor a bitmap.
bool ParseIconFile(const std::vector<std::uint8_t>& bytes, std::vector<IconImage>& images, std::string& error);

// The icon group resource for images, whose icon resources are numbered
// firstNumber, firstNumber + 1, ... in their order.
std::vector<std::uint8_t> IconGroupResource(const std::vector<IconImage>& images, std::uint16_t firstNumber);

} // namespace zorpack
