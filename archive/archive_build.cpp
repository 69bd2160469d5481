// Writing an installer: the extractor image, the data blocks, the TOC, the
// four strings and the tailer, in one pass (layout in archive_format.h).
//
// The installer is written under a temporary name beside its path and
// renamed over it once complete: whatever stops the build (a failed check, a
// full disk, an interrupt) leaves the path as it was. Each source file is
// read once: its digest and its data block come from the same bytes, and the
// block goes straight into the installer (a "!ZQM" block needs no size in
// advance: its TOC record is written after it).
#include "archive/installer_archive.h"

#include "archive/block_deduplicator.h"
#include "archive/entry_compressor.h"
#include "archive/entry_name.h"
#include "archive/entry_source.h"
#include "archive/extractor_resource.h"
#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/temporary_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

using namespace archive_format;

namespace {

// The directory a path's file lies in, as a directory the temporary file can
// be made in.
std::string DirectoryOf(const std::string& path) {
    const std::string directory = GetPathPart(path, kPathDirectory);
    return directory.empty() ? "." : directory;
}

} // namespace

bool InstallerArchive::AddFile(const std::string& path) {
    // The file-name part must be one name: an empty stored name is refused.
    const std::string name = StoredFileName(path);
    return AddFile(path, IsPlainFileName(name) ? name : std::string());
}

bool InstallerArchive::AddFile(const std::string& path, const std::string& storedName) {
    ReportFormat("Adding file '%s' to Installer...", path.c_str());
    FileDetails details;
    // Only a plain file of a size the archive can describe, under a name the
    // extractor accepts, can become an entry.
    if (!GetFileDetails(path, details) || !details.isRegular || details.size > kMaxArchiveSize ||
        !IsEntryPath(storedName))
        return Fail(ZorInstallerError::CannotGetFileInfo);
    ArchiveEntry entry;
    entry.name = path;
    entry.storedName = storedName;
    entry.nameLength = static_cast<std::uint32_t>(path.size() + 1);
    entry.creationTime = details.times.creation;
    entry.lastAccessTime = details.times.lastAccess;
    entry.lastWriteTime = details.times.lastWrite;
    if (timeCeiling_) {
        // Reading the file changes its access time: the write time stands in.
        entry.lastAccessTime = entry.lastWriteTime;
        for (FileTime* time : {&entry.creationTime, &entry.lastAccessTime, &entry.lastWriteTime})
            if (time->Ticks() > timeCeiling_->Ticks()) *time = *timeCeiling_;
    }
    entry.originalSize = static_cast<std::uint32_t>(details.size);
    entries_.push_back(std::move(entry));
    return true;
}

bool InstallerArchive::LoadExtractor(std::vector<std::uint8_t>& image) {
    if (hasExtractorImage_) {
        image = extractorImage_;
        return true;
    }
    return LoadExtractorResource(extractorResourceId_, image);
}

bool InstallerArchive::MakeInstaller(std::string* error) {
    // Only the failures before the first byte is written fill error.
    if (const std::string problem = UninstallerProblem(); !problem.empty())
        return Fail(ZorInstallerError::ExtensionBlock, error, "!Error MakeInstaller: the extension block %s",
                    problem.c_str());
    const bool lzma = (options_ & kCompressFiles) != 0 && compression_.method == CompressionMethod::Lzma;
    std::uint64_t recordBytes = 0;
    for (const ArchiveEntry& entry : entries_) recordBytes += kRecordHeaderSize + entry.storedName.size() + 1;
    if (lzma && recordBytes > kMaxLzmaTocSize)
        return Fail(ZorInstallerError::InstallerTooLarge, error,
                    "!Error MakeInstaller: the names and records of %zu files take %llu MiB, more than the %u MiB "
                    "an LZMA installer's TOC may hold.",
                    entries_.size(), static_cast<unsigned long long>(recordBytes >> 20), kMaxLzmaTocSize >> 20);
    Report("Loading auto extractor...");
    std::vector<std::uint8_t> image;
    if (!LoadExtractor(image))
        return Fail(ZorInstallerError::NoAutoExtract, error,
                    "!Error MakeInstaller: Unable to load AutoExtract resource.");
    const auto extractorSize = static_cast<std::uint32_t>(image.size());

    ReportFormat("Creating Installer file '%s'...", filePath_.c_str());
    TemporaryFile installerFile;
    if (!installerFile.Create(DirectoryOf(filePath_), GetPathPart(filePath_, kPathFileName) + "."))
        return Fail(ZorInstallerError::CannotWriteInstaller, error, "!Error MakeInstaller: OpenFile(%s) error %s",
                    filePath_.c_str(), LastErrorText());
    BufferedWriter installer(installerFile.File());
    installer.Write(image.data(), image.size());
    image = {};

    ArchiveTailer tailer;
    tailer.formatVersion = lzma ? kLzmaFormatVersion : kFormatVersion;
    tailer.options = options_;
    tailer.entryCount = static_cast<std::uint32_t>(entries_.size());

    Report("Writing Files...");
    std::uint64_t dataTotal = 0;
    if (!WriteDataBlocks(installer, extractorSize, dataTotal)) {
        const ZorInstallerError code = failure_.code;
        return Fail(code, nullptr, "!Error: An error occured while archiving files. (%s)",
                    ZorInstallerErrorText(code).c_str());
    }

    tailer.tocOffset = static_cast<std::uint32_t>(extractorSize + dataTotal);
    Report("Writing TOC...");
    std::uint64_t tocSize = 0;
    if (!WriteToc(installer, extractorSize, lzma, tocSize)) return false;

    static constexpr const char* kStringLines[kArchiveStringCount] = {
        "Writing Window list '%s'...",
        "Writing Application name '%s'...",
        "Writing Application version '%s'...",
        "Writing Shortcut Name '%s'...",
    };
    const std::string* strings[kArchiveStringCount] = {&windowList_, &appName_, &version_, &shortcutName_};
    std::uint64_t offset = tailer.tocOffset + tocSize;
    for (int i = 0; i < kArchiveStringCount; ++i) {
        ReportFormat(kStringLines[i], strings[i]->c_str());
        const auto length = static_cast<std::uint32_t>(strings[i]->size() + 1);
        installer.Write(strings[i]->c_str(), length);
        tailer.stringOffset[i] = static_cast<std::uint32_t>(offset);
        tailer.stringLength[i] = length;
        offset += length;
    }
    // Only an installer that has settings beyond the tailer's gets a block:
    // the others keep the bytes they always had.
    std::vector<ExtensionPair> pairs = extensions_;
    if (lzma) {
        const std::vector<ExtensionPair> declared = CompressionPairs(dictionaryUsed_);
        pairs.insert(pairs.end(), declared.begin(), declared.end());
    }
    if (!pairs.empty()) {
        if (const std::string problem = ExtensionPairsProblem(pairs); !problem.empty())
            return Fail(ZorInstallerError::ExtensionBlock, nullptr, "!Error MakeInstaller: the extension block %s",
                        problem.c_str());
        Report("Writing Extension block...");
        const std::string block = EncodeExtensionBlock(pairs);
        installer.Write(block.data(), block.size());
        offset += block.size();
    }
    if (offset + kTailerSize > kMaxArchiveSize)
        return Fail(ZorInstallerError::InstallerTooLarge, nullptr, "!Error: The installer would reach 4 GiB.");

    Report("Writing Tailer...");
    std::uint8_t tailerBytes[kTailerSize];
    StoreTailer(tailer, tailerBytes);
    installer.Write(tailerBytes, sizeof tailerBytes);
    installer.Flush();
    ReportFormat("Installer file size:%u bytes", static_cast<std::uint32_t>(installer.Written()));
    if (!installerFile.CommitAs(filePath_))
        return Fail(ZorInstallerError::CannotWriteInstaller, nullptr,
                    "!Error MakeInstaller: Unable to replace '%s' (%s)", filePath_.c_str(), LastErrorText());
    return true;
}

bool InstallerArchive::WriteDataBlocks(BufferedWriter& installer, std::uint64_t extractorSize,
                                       std::uint64_t& dataTotal) {
    dictionaryUsed_ = 0;
    const bool compress = (options_ & kCompressFiles) != 0;
    const bool lzma = compress && compression_.method == CompressionMethod::Lzma;
    if (lzma && compression_.solid) return WriteSolidStream(installer, extractorSize, dataTotal);
    std::unique_ptr<ParallelCompressor> compressor;
    if (compress) compressor = std::make_unique<ParallelCompressor>(entries_, compression_);
    // The new methods store a block once for every entry of the same bytes;
    // deflate keeps the layout every earlier builder wrote.
    BlockDeduplicator blocks(compress && compression_.method != CompressionMethod::Deflate);
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_) {
        ArchiveEntry& entry = entries_[cursor_];
        StartEntry(cursor_);
        const char* source = entry.name.c_str();
        ReportArchiving(entry, compress);
        if (!compress) {
            if (!WriteStoredBlock(installer, entry)) return false;
            entry.dataOffset = static_cast<std::uint32_t>(dataTotal);
        } else {
            CompressedEntry block = compressor->Take(cursor_);
            if (block.exception) std::rethrow_exception(block.exception);
            if (!CheckCompressedEntry(entry, block)) return false;
            std::memcpy(entry.md5, block.md5, kMd5DigestSize);
            entry.coding = block.coding;
            dictionaryUsed_ = std::max(dictionaryUsed_, block.dictionary);
            if (block.block.size() > kMaxArchiveSize)
                return EntryFailed(entry, ZorInstallerError::InstallerTooLarge,
                                   "!Error: The installer would exceed 4 GiB with '%s'.", source);
            entry.storedSize = static_cast<std::uint32_t>(block.block.size());
            if (const std::uint32_t* earlier = blocks.Find(entry, block.block)) {
                entry.dataOffset = *earlier;
                continue;
            }
            installer.Write(block.block.data(), block.block.size());
            entry.dataOffset = static_cast<std::uint32_t>(dataTotal);
            blocks.Add(entry, std::move(block.block));
        }
        dataTotal += entry.storedSize;
        if (extractorSize + dataTotal > kMaxArchiveSize)
            return EntryFailed(entry, ZorInstallerError::InstallerTooLarge,
                               "!Error: The installer would exceed 4 GiB with '%s'.", source);
    }
    return true;
}

void InstallerArchive::ReportArchiving(const ArchiveEntry& entry, bool compress) {
    const char* source = entry.name.c_str();
    ReportFormat("Archiving file '%s'...", source);
    ReportFormat("Computing MD5 sum for file '%s'...", source);
    if (compress) ReportFormat("Compressing file '%s'...", source);
    ReportFormat("Adding file '%s' into installer file...", source);
}

bool InstallerArchive::CheckCompressedEntry(const ArchiveEntry& entry, const CompressedEntry& block) {
    const char* source = entry.name.c_str();
    switch (block.failure) {
    case ZorInstallerError::Success:
        return true;
    case ZorInstallerError::CannotOpenFile:
        return EntryFailed(entry, ZorInstallerError::CannotOpenFile, "Unable to open file '%s' (%s)", source,
                           SystemErrorText(block.systemError));
    case ZorInstallerError::FileChanged:
        return EntryFailed(entry, ZorInstallerError::FileChanged, "!Error: File '%s' changed while it was archived.",
                           source);
    default:
        return EntryFailed(entry, ZorInstallerError::CannotCompressFile, "Unable to compress file '%s' (%s).", source,
                           block.outOfMemory ? "not enough memory" : "Compression error");
    }
}

// One source read once, from its start to the size AddFile found, into the
// digest and the installer. A source that is shorter or longer than that
// size by now is refused: its TOC record would lie.
bool InstallerArchive::WriteStoredBlock(BufferedWriter& installer, ArchiveEntry& entry) {
    const char* source = entry.name.c_str();
    EntrySource file;
    if (!file.Open(entry, false))
        return EntryFailed(entry, ZorInstallerError::CannotOpenFile, "Unable to open file '%s' (%s)", source,
                           LastErrorText());
    const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyPiece);
    std::uint32_t produced = 0;
    while (const std::size_t got = file.Read(piece.get(), kCopyPiece)) {
        installer.Write(piece.get(), got);
        produced += static_cast<std::uint32_t>(got);
    }
    if (!file.Finish(entry.md5))
        return EntryFailed(entry, ZorInstallerError::FileChanged, "!Error: File '%s' changed while it was archived.",
                           source);
    entry.storedSize = produced;
    return true;
}

bool InstallerArchive::WriteToc(BufferedWriter& installer, std::uint32_t extractorSize, bool pack,
                                std::uint64_t& tocSize) {
    std::vector<std::uint8_t> records;
    for (const ArchiveEntry& entry : entries_) {
        const std::string& name = entry.storedName;
        const auto nameLength = static_cast<std::uint32_t>(name.size() + 1);
        const std::size_t at = records.size();
        records.resize(at + kRecordHeaderSize + nameLength);
        StoreRecordHeader(entry, entry.dataOffset + extractorSize, nameLength, records.data() + at);
        std::memcpy(records.data() + at + kRecordHeaderSize, name.c_str(), nameLength);
    }
    if (pack) return WritePackedToc(installer, records, tocSize);
    installer.Write(records.data(), records.size());
    tocSize = records.size();
    return true;
}
