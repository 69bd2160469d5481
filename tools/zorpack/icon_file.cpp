#include "tools/zorpack/icon_file.h"

#include "common/little_endian.h"

#include <cstring>

namespace zorpack {

namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kBitmapHeaderSize = 40;

bool KnownImage(const std::uint8_t* data, std::uint32_t size) {
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0) return true;
    return size >= kBitmapHeaderSize && LoadLittleEndian32(data) == kBitmapHeaderSize;
}

} // namespace

bool ParseIconFile(const std::vector<std::uint8_t>& bytes, std::vector<IconImage>& images, std::string& error) {
    images.clear();
    if (bytes.size() < kHeaderSize || LoadLittleEndian16(bytes.data()) != 0 ||
        LoadLittleEndian16(bytes.data() + 2) != 1) {
        error = "it is no icon file (its header is not an icon's)";
        return false;
    }
    const std::size_t count = LoadLittleEndian16(bytes.data() + 4);
    if (count == 0 || count > kMaxIconImages) {
        error = "it holds " + std::to_string(count) + " images; an icon has 1 to " + std::to_string(kMaxIconImages);
        return false;
    }
    const std::size_t directoryEnd = kHeaderSize + count * kEntrySize;
    if (directoryEnd > bytes.size()) {
        error = "its list of images is cut short";
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes.data() + kHeaderSize + i * kEntrySize;
        const std::uint32_t size = LoadLittleEndian32(entry + 8);
        const std::uint32_t offset = LoadLittleEndian32(entry + 12);
        const std::string which = "image " + std::to_string(i + 1);
        if (size == 0 || offset < directoryEnd || std::uint64_t{offset} + size > bytes.size()) {
            error = which + " lies outside the file (offset " + std::to_string(offset) + ", " + std::to_string(size) +
                    " bytes, in a file of " + std::to_string(bytes.size()) + ")";
            return false;
        }
        if (!KnownImage(bytes.data() + offset, size)) {
            error = which + " is neither PNG nor a bitmap";
            return false;
        }
        IconImage image;
        std::memcpy(image.entry, entry, sizeof image.entry);
        image.data.assign(bytes.begin() + offset, bytes.begin() + offset + size);
        images.push_back(std::move(image));
    }
    return true;
}

std::vector<std::uint8_t> IconGroupResource(const std::vector<IconImage>& images, std::uint16_t firstNumber) {
    std::vector<std::uint8_t> group(kHeaderSize + images.size() * kGroupEntrySize, 0);
    group[2] = 1;
    StoreLittleEndian16(static_cast<std::uint32_t>(images.size()), group.data() + 4);
    for (std::size_t i = 0; i < images.size(); ++i) {
        std::uint8_t* entry = group.data() + kHeaderSize + i * kGroupEntrySize;
        std::memcpy(entry, images[i].entry, sizeof images[i].entry);
        StoreLittleEndian16(static_cast<std::uint32_t>(firstNumber + i), entry + 12);
    }
    return group;
}

} // namespace zorpack
