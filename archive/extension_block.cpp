#include "archive/extension_block.h"

#include "archive/archive_format.h"
#include "archive/entry_name.h"
#include "archive/install_folder.h"
#include "common/byte_reader.h"
#include "common/little_endian.h"
#include "common/string_format.h"
#include "common/utf8.h"

#include <cstring>

using namespace archive_format::extension_block;

namespace {

constexpr std::size_t kLengthSize = 4;

std::string KeyProblem(const std::string& key) {
    if (key.empty() || key.size() > kMaxKeyLength)
        return StringFormat("has a key of %zu bytes (1 to %zu allowed)", key.size(), kMaxKeyLength);
    for (char c : key)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return "has a key with a character other than a-z, 0-9 and '-'";
    return {};
}

// The checks every reader and the builder apply to a list of pairs. A block
// holds a handful of pairs, so duplicates are found by comparing each key
// with the ones before it: a tree of keys would cost the installer stub
// several kilobytes for nothing.
std::string PairsProblem(const std::vector<ExtensionPair>& pairs) {
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const ExtensionPair& pair = pairs[i];
        if (std::string problem = KeyProblem(pair.key); !problem.empty()) return problem;
        for (std::size_t j = 0; j < i; ++j)
            if (pairs[j].key == pair.key) return "has the key '" + pair.key + "' twice";
        if (!IsValidUtf8(pair.value) || pair.value.find('\0') != std::string::npos)
            return "has a value for '" + pair.key + "' that is not UTF-8 text";
        std::string problem;
        if (pair.key == kPublisherKey)
            problem = PublisherNameProblem(pair.value);
        else if (pair.key == kInstallDirKey)
            problem = InstallDirTemplateProblem(pair.value);
        else if (pair.key == kScopeKey && pair.value != kPerUserScope)
            problem = "is not \"per-user\"";
        else if (pair.key == kIconKey && pair.value != kUninstallerIcon)
            problem = "is not \"uninstaller\"";
        else if (pair.key == kUninstallerKey && pair.value != kCarriedUninstaller)
            problem = "is not \"carried\"";
        else if (pair.key == kUninstallKeyKey)
            problem = EntryNameProblem(pair.value);
        if (!problem.empty()) return "has a '" + pair.key + "' value that " + problem;
    }
    return {};
}

} // namespace

std::string EncodeExtensionBlock(const std::vector<ExtensionPair>& pairs) {
    if (pairs.empty()) return {};
    std::string body;
    for (const ExtensionPair& pair : pairs) {
        AppendLittleEndian32(body, static_cast<std::uint32_t>(pair.key.size()));
        body += pair.key;
        AppendLittleEndian32(body, static_cast<std::uint32_t>(pair.value.size()));
        body += pair.value;
    }
    std::string block(kMagic, sizeof kMagic);
    AppendLittleEndian32(block, kVersion);
    AppendLittleEndian32(block, static_cast<std::uint32_t>(kHeaderSize + body.size()));
    AppendLittleEndian32(block, static_cast<std::uint32_t>(pairs.size()));
    return block + body;
}

std::string ExtensionPairsProblem(const std::vector<ExtensionPair>& pairs) {
    if (std::string problem = PairsProblem(pairs); !problem.empty()) return problem;
    if (EncodeExtensionBlock(pairs).size() > kMaxSize) return StringFormat("would be larger than %zu bytes", kMaxSize);
    return {};
}

std::string ParseExtensionBlock(const std::uint8_t* bytes, std::size_t size, std::vector<ExtensionPair>& pairs) {
    pairs.clear();
    if (size < kHeaderSize || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return "does not start with \"ZEXT\" (unknown bytes between the strings and the tailer)";
    if (size > kMaxSize) return StringFormat("is larger than %zu bytes", kMaxSize);
    ByteReader reader(bytes, size);
    reader.Skip(sizeof kMagic);
    const std::uint32_t version = reader.Read32();
    const std::uint32_t length = reader.Read32();
    const std::uint32_t count = reader.Read32();
    if (version != kVersion) return StringFormat("has version %u (this reader knows %u)", version, kVersion);
    if (length != size)
        return StringFormat("has a length of %u bytes where %zu are left before the tailer", length, size);
    // Every pair takes at least its two length fields.
    if (count > (size - kHeaderSize) / (2 * kLengthSize))
        return StringFormat("counts %u pairs, more than its %zu bytes can hold", count, size);
    std::vector<ExtensionPair> read;
    for (std::uint32_t i = 0; i < count; ++i) {
        ExtensionPair pair;
        pair.key = reader.ReadCountedText();
        pair.value = reader.ReadCountedText();
        if (reader.Failed()) return StringFormat("has pair %u cut short", i + 1);
        read.push_back(std::move(pair));
    }
    if (reader.Left() != 0) return StringFormat("has %zu bytes after its last pair", reader.Left());
    if (std::string problem = PairsProblem(read); !problem.empty()) return problem;
    pairs = std::move(read);
    return {};
}
