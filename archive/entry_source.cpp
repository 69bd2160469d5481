// The source is read in pieces of kCopyPiece; filtered bytes wait in
// pending_ until the encoder takes them.
#include "archive/entry_source.h"

#include "archive/pe_image.h"

#include <algorithm>
#include <cstring>

bool EntrySource::Open(const ArchiveEntry& entry, bool filterExecutables) {
    if (!file_.Open(entry.name, FileAccess::Read, FileCreation::OpenExisting, FileShare::DenyWrite)) return false;
    left_ = entry.originalSize;
    piece_.resize(archive_format::kCopyPiece);
    Refill();
    filtered_ = filterExecutables && LooksLikePeExecutable(pending_.data(), pending_.size());
    if (filtered_) {
        std::vector<std::uint8_t> raw;
        raw.swap(pending_);
        filter_.Update(raw.data(), raw.size(), pending_);
        if (ended_) {
            std::vector<std::uint8_t> rest;
            filter_.Finish(rest);
            pending_.insert(pending_.end(), rest.begin(), rest.end());
        }
    }
    return true;
}

void EntrySource::Refill() {
    pendingAt_ = 0;
    pending_.clear();
    if (ended_) return;
    // Pieces of 64 KiB: the first holds the PE headers of every linker's output.
    const std::size_t got = file_.Read(piece_.data(), std::min<std::size_t>(piece_.size(), left_));
    md5_.Update(piece_.data(), got);
    left_ -= static_cast<std::uint32_t>(got);
    if (got == 0 || left_ == 0) ended_ = true;
    if (!filtered_) {
        pending_.assign(piece_.begin(), piece_.begin() + static_cast<std::ptrdiff_t>(got));
        return;
    }
    filter_.Update(piece_.data(), got, pending_);
    if (ended_) {
        std::vector<std::uint8_t> rest;
        filter_.Finish(rest);
        pending_.insert(pending_.end(), rest.begin(), rest.end());
    }
}

std::size_t EntrySource::Read(void* buffer, std::size_t count) {
    while (pendingAt_ == pending_.size()) {
        if (ended_) return 0;
        Refill();
    }
    const std::size_t taken = std::min(count, pending_.size() - pendingAt_);
    std::memcpy(buffer, pending_.data() + pendingAt_, taken);
    pendingAt_ += taken;
    return taken;
}

bool EntrySource::Finish(std::uint8_t md5[kMd5DigestSize]) {
    std::uint8_t beyond;
    const bool whole = left_ == 0 && file_.Read(&beyond, 1) == 0;
    md5_.Final(md5);
    return whole;
}
