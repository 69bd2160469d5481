#include "archive/extractor_resource.h"

#include <map>

namespace {

struct Registered {
    const std::uint8_t* data;
    std::size_t size;
};

std::map<int, Registered>& Registry() {
    static std::map<int, Registered> registry;
    return registry;
}

} // namespace

bool LoadExtractorResource(int id, std::vector<std::uint8_t>& image) {
    const auto found = Registry().find(id);
    if (found == Registry().end()) return false;
    image.assign(found->second.data, found->second.data + found->second.size);
    return true;
}

void RegisterExtractorResource(int id, const std::uint8_t* data, std::size_t size) { Registry()[id] = {data, size}; }
