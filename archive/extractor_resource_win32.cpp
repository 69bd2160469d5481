#include "archive/extractor_resource.h"

#include "common/windows_api.h"

bool LoadExtractorResource(int id, std::vector<std::uint8_t>& image) {
    HRSRC resource = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), "EXE_SFX");
    if (resource == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(nullptr, resource);
    const DWORD size = ::SizeofResource(nullptr, resource);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) return false;
    const auto* begin = static_cast<const std::uint8_t*>(bytes);
    image.assign(begin, begin + size);
    return true;
}

// Windows programs carry their images as real resources.
void RegisterExtractorResource(int, const std::uint8_t*, std::size_t) {}
