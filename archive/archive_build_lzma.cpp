// Writing LZMA data blocks: a chunked stream per entry, or one solid stream
// of every entry in TOC order (layout in archive_format.h). Each source is
// read once, through EntrySource, for its digest and its stream together;
// x86 executables go through the branch filter on their way in.
#include "archive/installer_archive.h"

#include "archive/entry_source.h"
#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "compress/lzma_chunks.h"

#include <memory>

using namespace archive_format;

namespace {

// The smallest power of two from 4 KiB on that holds size bytes, up to cap:
// a larger dictionary than the stream would only cost the extractor memory.
std::uint32_t StreamDictionary(std::uint64_t size, std::uint32_t cap) {
    std::uint64_t dictionary = lzma::kMinDictionary;
    while (dictionary < size && dictionary < cap) dictionary <<= 1;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(dictionary, std::max(cap, lzma::kMinDictionary)));
}

LzmaEncoderOptions EncoderOptions(std::uint32_t dictionary) {
    LzmaEncoderOptions options;
    options.properties.dictionarySize = dictionary;
    return options;
}

const char* EncodeFailureText(LzmaEncodeResult result) {
    return result == LzmaEncodeResult::OutOfMemory ? "not enough memory" : "Compression error";
}

} // namespace

bool InstallerArchive::WriteLzmaBlock(BufferedWriter& installer, ArchiveEntry& entry) {
    const char* path = entry.name.c_str();
    EntrySource source;
    if (!source.Open(entry, true))
        return EntryFailed(entry, ZorInstallerError::CannotOpenFile, "Unable to open file '%s' (%s)", path,
                           LastErrorText());
    entry.coding = source.Filtered() ? kBranchFilterCoding : 0;
    const std::uint32_t cap = compression_.dictionary ? compression_.dictionary : kDefaultDictionaryCap;
    const std::uint32_t dictionary = StreamDictionary(entry.originalSize, cap);
    dictionaryUsed_ = std::max(dictionaryUsed_, dictionary);
    std::uint64_t unpacked = 0, packed = 0;
    const LzmaEncodeResult result = CompressLzmaChunks(
        EncoderOptions(dictionary), [&](void* buffer, std::size_t count) { return source.Read(buffer, count); },
        [&](const std::uint8_t* data, std::size_t count) { installer.Write(data, count); }, unpacked, packed);
    if (result != LzmaEncodeResult::Ok)
        return EntryFailed(entry, ZorInstallerError::CannotCompressFile, "Unable to compress file '%s' (%s).", path,
                           EncodeFailureText(result));
    if (!source.Finish(entry.md5))
        return EntryFailed(entry, ZorInstallerError::FileChanged, "!Error: File '%s' changed while it was archived.",
                           path);
    if (packed > kMaxArchiveSize)
        return EntryFailed(entry, ZorInstallerError::InstallerTooLarge,
                           "!Error: The installer would exceed 4 GiB with '%s'.", path);
    entry.storedSize = static_cast<std::uint32_t>(packed);
    return true;
}

// The encoder pulls the entries one after another; a source that cannot be
// read ends the stream early, and the failure it recorded ends the build.
bool InstallerArchive::WriteSolidStream(BufferedWriter& installer, std::uint64_t extractorSize,
                                        std::uint64_t& dataTotal) {
    std::uint64_t total = 0;
    for (const ArchiveEntry& entry : entries_) total += entry.originalSize;
    const std::uint32_t cap = compression_.dictionary ? compression_.dictionary : kDefaultDictionaryCap;
    dictionaryUsed_ = StreamDictionary(total, cap);

    std::unique_ptr<EntrySource> source;
    bool failed = false;
    cursor_ = 0;
    const auto read = [&](void* buffer, std::size_t count) -> std::size_t {
        while (!failed && cursor_ < entries_.size()) {
            ArchiveEntry& entry = entries_[cursor_];
            const char* path = entry.name.c_str();
            if (!source) {
                StartEntry(cursor_);
                ReportFormat("Archiving file '%s'...", path);
                ReportFormat("Computing MD5 sum for file '%s'...", path);
                ReportFormat("Compressing file '%s'...", path);
                ReportFormat("Adding file '%s' into installer file...", path);
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
    std::uint64_t unpacked = 0, packed = 0;
    const LzmaEncodeResult result = CompressLzmaChunks(
        EncoderOptions(dictionaryUsed_), read,
        [&](const std::uint8_t* data, std::size_t count) { installer.Write(data, count); }, unpacked, packed);
    if (failed) return false;
    if (result != LzmaEncodeResult::Ok)
        return Fail(ZorInstallerError::CannotCompressFile, nullptr, "Unable to compress the files (%s).",
                    EncodeFailureText(result));
    dataTotal = packed;
    if (extractorSize + dataTotal > kMaxArchiveSize)
        return Fail(ZorInstallerError::InstallerTooLarge, nullptr, "!Error: The installer would reach 4 GiB.");
    return true;
}
