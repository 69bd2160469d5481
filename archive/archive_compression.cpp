// What a loaded installer says about its data's compression (archive_format.h,
// LZMA), checked whole before anything is decoded: a reader that cannot read
// the data refuses the installer at load, with one line that says why.
#include "archive/installer_archive.h"

#include "compress/lzma_format.h"

#include <charconv>

using namespace archive_format;
using namespace archive_format::extension_block;

namespace {

// A decimal dictionary size an extractor may allocate, or 0.
std::uint32_t ParseDictionary(const std::string& text) {
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [at, problem] = std::from_chars(text.data(), end, value);
    if (problem != std::errc() || at != end || text.empty() || text[0] == '0') return 0;
    return value >= lzma::kMinDictionary && value <= kMaxDictionary ? value : 0;
}

} // namespace

bool InstallerArchive::ReadCompression(std::uint32_t formatVersion, std::string* error) {
    compression_ = {};
    const std::string method = GetExtension(kCompressionKey);
    const char* path = filePath_.c_str();
    if (formatVersion == kFormatVersion) {
        if (method.empty()) return true;
        return Fail(ZorInstallerError::ExtensionBlock, error,
                    "!Error LoadInstaller: %s names the compression method '%s' in an installer of format version 258",
                    path, method.c_str());
    }
    if (method.empty())
        return Fail(ZorInstallerError::VersionNotSupported, error,
                    "!Error LoadInstaller: %s has format version 259 but names no compression method", path);
    if (method != kLzmaCompression)
        return Fail(ZorInstallerError::VersionNotSupported, error,
                    "!Error LoadInstaller: %s uses the compression method '%s', which this reader does not know", path,
                    method.c_str());
    compression_.method = CompressionMethod::Lzma;
    const std::string layout = GetExtension(kLayoutKey);
    if (!layout.empty() && layout != kSolidLayout)
        return Fail(ZorInstallerError::VersionNotSupported, error,
                    "!Error LoadInstaller: %s uses the layout '%s', which this reader does not know", path,
                    layout.c_str());
    compression_.solid = !layout.empty();
    const std::string dictionary = GetExtension(kDictionaryKey);
    compression_.dictionary = ParseDictionary(dictionary);
    if (compression_.dictionary == 0)
        return Fail(ZorInstallerError::ExtensionBlock, error,
                    "!Error LoadInstaller: %s declares the dictionary '%s', which is not 4096 to %u bytes", path,
                    dictionary.c_str(), kMaxDictionary);
    if ((options_ & kCompressFiles) == 0)
        return Fail(ZorInstallerError::ExtensionBlock, error,
                    "!Error LoadInstaller: %s names LZMA but its files are not compressed", path);
    for (const ArchiveEntry& entry : entries_) {
        if ((entry.coding & ~kBranchFilterCoding) != 0)
            return Fail(ZorInstallerError::VersionNotSupported, error,
                        "!Error LoadInstaller: %s codes the entry '%s' in a way this reader does not know", path,
                        entry.name.c_str());
        // One stream, so one offset; the stream's end is the TOC.
        if (compression_.solid &&
            (entry.dataOffset != entries_.front().dataOffset || entry.storedSize != 0 || entry.dataOffset > tocOffset_))
            return Fail(ZorInstallerError::BadToc, error,
                        "!Error LoadInstaller: %s has a solid stream whose records disagree on where it lies", path);
    }
    return true;
}

std::vector<ExtensionPair> InstallerArchive::CompressionPairs(std::uint32_t dictionary) const {
    if (compression_.method != CompressionMethod::Lzma) return {};
    std::vector<ExtensionPair> pairs = {{kCompressionKey, kLzmaCompression},
                                        {kDictionaryKey, std::to_string(dictionary)}};
    if (compression_.solid) pairs.push_back({kLayoutKey, kSolidLayout});
    return pairs;
}
