// A builder's source file, read once for its entry: exactly the size AddFile
// found, its digest taken over the bytes as they are, and, for x86
// executables when asked, the x86 branch filter applied to what it hands on.
#pragma once

#include "archive/archive_format.h"
#include "common/file.h"
#include "compress/md5_digest.h"
#include "compress/x86_branch_filter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class EntrySource {
public:
    EntrySource() : filter_(X86BranchFilter::Direction::Encode) {}

    // Opens entry's source (entry.name while building). With filterExecutables,
    // a file whose headers are those of an x86 PE image is filtered, which
    // Filtered() then says. False when the file cannot be opened.
    bool Open(const ArchiveEntry& entry, bool filterExecutables);
    bool Filtered() const { return filtered_; }

    // Up to count bytes of the entry, filtered or not; 0 at its end.
    std::size_t Read(void* buffer, std::size_t count);

    // After the last Read: the digest of the file's bytes, and false when the
    // file turned out shorter or longer than the entry's size.
    bool Finish(std::uint8_t md5[kMd5DigestSize]);

private:
    // Reads the next piece of the file into pending_.
    void Refill();

    CFile file_;
    Md5Digest md5_;
    X86BranchFilter filter_;
    bool filtered_ = false;
    bool ended_ = false;
    std::uint32_t left_ = 0; // file bytes still to read
    std::vector<std::uint8_t> piece_;
    std::vector<std::uint8_t> pending_;
    std::size_t pendingAt_ = 0;
};
