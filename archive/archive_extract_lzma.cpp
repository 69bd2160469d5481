// Reading LZMA data blocks (layout in archive_format.h): a stream per entry,
// bounded by its record, or the solid stream, read on from entry to entry
// from the first data block to the TOC. Each entry takes exactly its
// original size from its stream and undoes the branch filter its record
// names; its digest is checked by the caller.
#include "archive/installer_archive.h"

#include "archive/entry_decoders.h"
#include "common/buffered_file.h"
#include "compress/lzma_read_ahead.h"
#include "compress/x86_branch_filter.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace archive_format;

namespace {

const char* LzmaFailureText(LzmaResult result) {
    switch (result) {
    case LzmaResult::Truncated:
        return "the compressed data end too early";
    case LzmaResult::DictionaryTooLarge:
        return "a stream asks for a larger dictionary than the installer declares";
    case LzmaResult::OutOfMemory:
        return "not enough memory";
    default:
        return "Uncompression error";
    }
}

} // namespace

bool InstallerArchive::PrepareDecoders(BufferedReader& archive, EntryDecoders& decoders, std::string* error) {
    if ((options_ & kCompressFiles) == 0 || compression_.method != CompressionMethod::Lzma) return true;
    std::size_t window = 0;
    for (const ArchiveEntry& entry : entries_)
        window = std::max(window, LzmaDecoder::WindowSize(compression_.dictionary, entry.originalSize));
    decoders.solidSize = GetTotalOriginalSize();
    if (compression_.solid) window = LzmaDecoder::WindowSize(compression_.dictionary, decoders.solidSize);
    decoders.lzma = std::make_unique<LzmaDecoder>();
    if (!decoders.lzma->Reserve(window))
        return Fail(ZorInstallerError::MemoryAllocation, error,
                    "Not enough memory to extract the files: their decompression needs %llu MiB.",
                    static_cast<unsigned long long>((window >> 20) + 1));
    if (compression_.solid && !entries_.empty()) {
        const std::uint64_t start = entries_.front().dataOffset;
        decoders.solidLeft = tocOffset_ > start ? tocOffset_ - start : 0;
        archive.Seek(start);
        // The stream is read on its own thread: a failed read ends the stream
        // there, and the entry being read then asks the reader why.
        decoders.solidSource = [&archive, &decoders](void* buffer, std::size_t count) {
            return archive.ReadWithin(buffer, count, decoders.solidLeft);
        };
    }
    return true;
}

bool InstallerArchive::ReadLzmaContent(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry,
                                       const std::string& shownName,
                                       const std::function<void(const std::uint8_t*, std::size_t)>& take) {
    LzmaResult result = LzmaResult::Ok;
    LzmaChunkReader own(*decoders.lzma);
    LzmaPieceSource* stream = &own;
    std::uint64_t left = entry.storedSize;
    const LzmaSource read = [&](void* buffer, std::size_t count) { return archive.ReadWithin(buffer, count, left); };
    if (compression_.solid) {
        if (!decoders.solid) {
            decoders.solid = std::make_unique<LzmaChunkReader>(*decoders.lzma);
            result = decoders.solid->Open(decoders.solidSource, decoders.solidSize, compression_.dictionary);
            // Decoded on a second core while the files are written and
            // their digests taken, as xz runs ahead of tar in a pipe.
            if (result == LzmaResult::Ok)
                decoders.solidAhead =
                    std::make_unique<LzmaReadAhead>(*decoders.solid, decoders.lzma->StreamWindow(), decoders.solidSize);
        }
        stream = decoders.solidAhead ? decoders.solidAhead.get() : decoders.solid.get();
    } else {
        archive.Seek(entry.dataOffset);
        result = own.Open(read, entry.originalSize, compression_.dictionary);
    }

    // Filtered bytes are converted in place, in a buffer that keeps the up to
    // 4 bytes of a branch not yet whole for the next piece. Pieces of 16 KiB
    // keep the extractor's memory within the dictionary and 64 KiB.
    const bool filtered = (entry.coding & kBranchFilterCoding) != 0;
    constexpr std::size_t kFilterPiece = 16384;
    std::unique_ptr<std::uint8_t[]> plain;
    if (filtered) plain = std::make_unique_for_overwrite<std::uint8_t[]>(kFilterPiece + 4);
    std::size_t held = 0;
    std::uint32_t position = 0;
    std::uint32_t wanted = entry.originalSize;
    // A failed write (fileFailure_) ends the entry at once.
    while (result == LzmaResult::Ok && wanted != 0 && !fileFailure_) {
        const std::uint8_t* data = nullptr;
        std::size_t count = 0;
        result = stream->Next(data, count, std::min<std::size_t>(wanted, filtered ? kFilterPiece : kDecodePiece));
        if (result != LzmaResult::Ok) break;
        if (count == 0) {
            result = LzmaResult::Truncated;
            break;
        }
        wanted -= static_cast<std::uint32_t>(count);
        if (!filtered) {
            take(data, count);
            continue;
        }
        std::memcpy(plain.get() + held, data, count);
        const std::size_t size = held + count;
        const std::size_t converted =
            ConvertX86Branches(plain.get(), size, position, X86BranchFilter::Direction::Decode);
        // At the entry's end the bytes held are final as they are.
        const std::size_t final = wanted == 0 ? size : converted;
        take(plain.get(), final);
        position += static_cast<std::uint32_t>(final);
        held = size - final;
        std::memmove(plain.get(), plain.get() + final, held);
    }
    // A stream that failed has ended its reads, on whichever thread.
    if (fileFailure_ || (result != LzmaResult::Ok && FileFailedUnder(archive))) return false;
    if (result != LzmaResult::Ok)
        return EntryFailed(entry, ZorInstallerError::CannotExtractFile, "Error while uncompressing file '%s' (%s).",
                           shownName.c_str(), LzmaFailureText(result));
    return true;
}
