// An extractor image as zorpack takes it from --stub: its resource tree is
// read or refused within bounds, and a tree that was read is rewritten into
// an image whose tree reads back with the resource added.
#include "archive/pe_resources.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> image(data, data + size);
    std::vector<PeResource> resources;
    std::string error;
    if (!ReadPeResources(image, resources, error)) return 0;
    resources.push_back({{u"", pe_resource_type::kVersion}, {u"", 1}, 0x0409, 0, {1, 2, 3, 4}});
    std::vector<std::uint8_t> written = image;
    if (!WritePeResources(written, resources, error)) {
        if (written != image) std::abort(); // a refusal changes nothing
        return 0;
    }
    std::vector<PeResource> back;
    if (!ReadPeResources(written, back, error) || back.size() != resources.size()) std::abort();
    return 0;
}
