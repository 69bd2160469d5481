// The data blocks already written, so that an entry whose block would be the
// same bytes points at the earlier one instead (its record takes that offset
// and size). Blocks are compared byte for byte, never by digest alone: two
// different files with one MD5 keep their own blocks. The blocks kept for
// comparison are bounded; past the bound, later blocks are written anew.
#pragma once

#include "archive/archive_format.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

class BlockDeduplicator {
public:
    explicit BlockDeduplicator(bool enabled) : enabled_(enabled) {}

    // The offset of an earlier block with exactly these bytes for an entry
    // of the same size, digest and coding, or null.
    const std::uint32_t* Find(const ArchiveEntry& entry, const std::vector<std::uint8_t>& block) const {
        if (!enabled_) return nullptr;
        const auto range = blocks_.equal_range(KeyOf(entry));
        for (auto it = range.first; it != range.second; ++it)
            if (it->second.bytes == block) return &it->second.offset;
        return nullptr;
    }

    // Keeps entry's block, just written at entry.dataOffset, while the bound allows.
    void Add(const ArchiveEntry& entry, std::vector<std::uint8_t> block) {
        if (!enabled_ || kept_ + block.size() > kMaxKept) return;
        kept_ += block.size();
        blocks_.emplace(KeyOf(entry), Kept{entry.dataOffset, std::move(block)});
    }

private:
    static constexpr std::size_t kMaxKept = std::size_t{256} << 20;

    struct Kept {
        std::uint32_t offset;
        std::vector<std::uint8_t> bytes;
    };

    static std::string KeyOf(const ArchiveEntry& entry) {
        std::string key(reinterpret_cast<const char*>(entry.md5), kMd5DigestSize);
        key.append(reinterpret_cast<const char*>(&entry.originalSize), sizeof entry.originalSize);
        key += static_cast<char>(entry.coding); // the same bytes unfiltered otherwise are other content
        return key;
    }

    bool enabled_;
    std::size_t kept_ = 0;
    std::multimap<std::string, Kept> blocks_;
};
