// Writing the solid LZMA stream, every entry in TOC order, and the packed TOC
// of every LZMA installer (layout in archive_format.h). Each source is read
// once, through EntrySource, for its digest and its part of the stream
// together; x86 executables go through the branch filter on their way in.
#include "archive/installer_archive.h"

#include "archive/entry_compressor.h"
#include "archive/entry_source.h"
#include "archive/packed_toc.h"
#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "common/little_endian.h"
#include "compress/lzma_chunks.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace archive_format;

namespace {

const char* EncodeFailureText(LzmaEncodeResult result) {
    return result == LzmaEncodeResult::OutOfMemory ? "not enough memory" : "Compression error";
}

} // namespace

// The encoder pulls the entries one after another; a source that cannot be
// read ends the stream early, and the failure it recorded ends the build.
bool InstallerArchive::WriteSolidStream(BufferedWriter& installer, std::uint64_t extractorSize,
                                        std::uint64_t& dataTotal) {
    const std::uint32_t cap = compression_.dictionary ? compression_.dictionary : kDefaultDictionaryCap;
    dictionaryUsed_ = StreamDictionary(GetTotalOriginalSize(), cap);

    std::unique_ptr<EntrySource> source;
    bool failed = false;
    cursor_ = 0;
    const auto read = [&](void* buffer, std::size_t count) -> std::size_t {
        while (!failed && cursor_ < entries_.size()) {
            ArchiveEntry& entry = entries_[cursor_];
            const char* path = entry.name.c_str();
            if (!source) {
                StartEntry(cursor_);
                ReportArchiving(entry, true);
                source = std::make_unique<EntrySource>();
                if (!source->Open(entry, true)) {
                    failed = true;
                    EntryFailed(entry, ZorInstallerError::CannotOpenFile, "Unable to open file '%s' (%s)", path,
                                LastErrorText());
                    return 0;
                }
                entry.coding = source->Filtered() ? kBranchFilterCoding : 0;
            }
            if (const std::size_t got = source->Read(buffer, count)) return got;
            if (!source->Finish(entry.md5)) {
                failed = true;
                EntryFailed(entry, ZorInstallerError::FileChanged, "!Error: File '%s' changed while it was archived.",
                            path);
                return 0;
            }
            entry.dataOffset = 0;
            entry.storedSize = 0;
            source.reset();
            ++cursor_;
        }
        return 0;
    };
    LzmaEncoderOptions options;
    options.properties.dictionarySize = dictionaryUsed_;
    // One stream: a second core finds its matches ahead of the parser.
    options.finderThread = compression_.threads > 1;
    std::uint64_t unpacked = 0, packed = 0;
    const LzmaEncodeResult result = CompressLzmaChunks(
        options, read, [&](const std::uint8_t* data, std::size_t count) { installer.Write(data, count); }, unpacked,
        packed);
    if (failed) return false;
    if (result != LzmaEncodeResult::Ok)
        return Fail(ZorInstallerError::CannotCompressFile, nullptr, "Unable to compress the files (%s).",
                    EncodeFailureText(result));
    dataTotal = packed;
    if (extractorSize + dataTotal > kMaxArchiveSize)
        return Fail(ZorInstallerError::InstallerTooLarge, nullptr, "!Error: The installer would reach 4 GiB.");
    return true;
}

bool InstallerArchive::WritePackedToc(BufferedWriter& installer, const std::vector<std::uint8_t>& records,
                                      std::uint64_t& tocSize) {
    const LzmaEncodeResult result = PackToc(
        records, [&](const std::uint8_t* data, std::size_t count) { installer.Write(data, count); }, tocSize);
    if (result != LzmaEncodeResult::Ok)
        return Fail(ZorInstallerError::CannotCompressFile, nullptr, "Unable to compress the TOC (%s).",
                    EncodeFailureText(result));
    return true;
}

// One chunk holds most TOCs, so packing costs one encoder's start.
LzmaEncodeResult PackToc(const std::vector<std::uint8_t>& records,
                         const std::function<void(const std::uint8_t*, std::size_t)>& write,
                         std::uint64_t& packedSize) {
    std::uint8_t size[4];
    StoreLittleEndian32(static_cast<std::uint32_t>(records.size()), size);
    write(size, sizeof size);
    std::size_t read = 0;
    const auto source = [&](void* buffer, std::size_t count) {
        const std::size_t taken = std::min(count, records.size() - read);
        if (taken != 0) std::memcpy(buffer, records.data() + read, taken);
        read += taken;
        return taken;
    };
    LzmaEncoderOptions options;
    options.properties.dictionarySize = StreamDictionary(records.size(), kMaxTocDictionary);
    std::uint64_t unpacked = 0;
    const LzmaEncodeResult result = CompressLzmaChunks(options, source, write, unpacked, packedSize);
    packedSize += sizeof size;
    return result;
}
