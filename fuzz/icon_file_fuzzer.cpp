// Icon files as --icon names them: read or refused within bounds; the images
// read keep their bytes, and their group lists each of them.
#include "tools/zorpack/icon_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<zorpack::IconImage> images;
    std::string error;
    if (!zorpack::ParseIconFile({data, data + size}, images, error)) return 0;
    std::size_t bytes = 0;
    for (const zorpack::IconImage& image : images) bytes += image.data.size();
    if (images.empty() || bytes > size) std::abort();
    const std::vector<std::uint8_t> group = zorpack::IconGroupResource(images, 1);
    if (group.size() != 6 + 14 * images.size() || (group[4] | group[5] << 8) != images.size()) std::abort();
    return 0;
}
