// Writing an installer: the extractor image, the data blocks, the TOC, the
// four strings and the tailer, in one pass (layout in archive_format.h).
#include "archive/installer_archive.h"

#include "archive/entry_name.h"
#include "archive/extractor_resource.h"
#include "common/error_texts.h"
#include "common/file.h"

#include "common/file_system.h"
#include "common/little_endian.h"
#include "compress/compressed_file.h"
#include <memory>

#include <cstdio>
#include <cstring>

using namespace archive_format;

namespace {

// Offsets and sizes are 32-bit: no installer may reach 4 GiB.
constexpr std::uint64_t kMaxInstallerSize = 0xFFFFFFFFu;

void StoreFileTime(const FileTime& time, std::uint8_t* bytes) {
    StoreLittleEndian32(time.lowDateTime, bytes);
    StoreLittleEndian32(time.highDateTime, bytes + 4);
}

// Appends the whole file at path to the installer; false when it cannot be opened.
bool AppendFile(CFile& installer, const std::string& path, std::uint64_t& copied) {
    CFile source;
    if (!source.OpenForReading(path, FileShare::DenyNone)) return false;
    const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyPiece);
    copied = 0;
    while (const std::size_t got = source.Read(piece.get(), kCopyPiece)) {
        installer.Write(piece.get(), got);
        copied += got;
    }
    return true;
}

} // namespace

bool InstallerArchive::AddFile(const std::string& path) {
    ReportFormat("Adding file '%s' to Installer...", path.c_str());
    FileDetails details;
    // A directory, or a name the extractor would refuse, cannot become an entry.
    if (!GetFileDetails(path, details) || details.isDirectory || !IsPlainFileName(StoredFileName(path))) {
        errorCode_ = ZorInstallerError::CannotGetFileInfo;
        return false;
    }
    ArchiveEntry entry;
    entry.name = path;
    entry.nameLength = static_cast<std::uint32_t>(path.size() + 1);
    entry.creationTime = details.times.creation;
    entry.lastAccessTime = details.times.lastAccess;
    entry.lastWriteTime = details.times.lastWrite;
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
    const auto failEarly = [&](const std::string& line) {
        Report(line);
        if (error) *error = line;
        return false;
    };
    Report("Loading auto extractor...");
    std::vector<std::uint8_t> image;
    if (!LoadExtractor(image)) return failEarly("!Error MakeInstaller: Unable to load AutoExtract resource.");
    const auto extractorSize = static_cast<std::uint32_t>(image.size());

    ReportFormat("Creating Installer file '%s'...", filePath_.c_str());
    CFile installer;
    if (!installer.Create(filePath_))
        return failEarly(
            StringFormat("!Error MakeInstaller: OpenFile(%s) error %s", filePath_.c_str(), LastErrorText()));
    installer.Write(image.data(), image.size());
    image = {};

    std::uint8_t tailer[kTailerSize] = {};
    std::memcpy(tailer, kSignature, sizeof kSignature);
    StoreLittleEndian32(kFormatVersion, tailer + 16);
    StoreLittleEndian32(options_, tailer + 20);
    StoreLittleEndian32(static_cast<std::uint32_t>(entries_.size()), tailer + 24);

    Report("Writing Files...");
    std::uint64_t dataTotal = 0;
    if (!WriteDataBlocks(installer, dataTotal)) {
        ReportFormat("!Error: An error occured while archiving files. (%s)", GetErrorText().c_str());
        return false;
    }

    const auto tocOffset = static_cast<std::uint32_t>(extractorSize + dataTotal);
    StoreLittleEndian32(tocOffset, tailer + 28);
    Report("Writing TOC...");
    std::uint32_t tocSize = 0;
    if (!WriteToc(installer, extractorSize, tocSize)) {
        Report("Unable to write TOC...");
        return false;
    }

    const struct {
        const char* line;
        const std::string& text;
    } strings[] = {
        {"Writing Window list '%s'...", windowList_},
        {"Writing Application name '%s'...", appName_},
        {"Writing Application version '%s'...", version_},
        {"Writing Shortcut Name '%s'...", shortcutName_},
    };
    std::uint32_t offset = tocOffset + tocSize;
    for (int i = 0; i < 4; ++i) {
        ReportFormat(strings[i].line, strings[i].text.c_str());
        const auto length = static_cast<std::uint32_t>(strings[i].text.size() + 1);
        installer.Write(strings[i].text.c_str(), length);
        StoreLittleEndian32(offset, tailer + 32 + 8 * i);
        StoreLittleEndian32(length, tailer + 36 + 8 * i);
        offset += length;
    }

    Report("Writing Tailer...");
    installer.Write(tailer, sizeof tailer);
    ReportFormat("Installer file size:%u bytes", static_cast<std::uint32_t>(installer.GetLength()));
    return true;
}

bool InstallerArchive::WriteDataBlocks(CFile& installer, std::uint64_t& dataTotal) {
    const std::uint64_t extractorSize = installer.GetLength();
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_) {
        ArchiveEntry& entry = entries_[cursor_];
        const char* source = entry.name.c_str();
        ReportFormat("Archiving file '%s'...", source);
        if (!ComputeFileMD5(entry.name, entry.md5)) {
            ReportFormat("Unable to compute MD5 sum '%s'", source);
            return false;
        }

        std::string block = entry.name;
        std::uint32_t produced = entry.originalSize;
        const bool compress = (options_ & kCompressFiles) != 0;
        if (compress) {
            ReportFormat("Compressing file '%s'...", source);
            CompressedFile compressed(entry.name);
            std::string compressError;
            if (!compressed.Compress(&compressError)) {
                ReportFormat("Unable to compress file '%s' (%s).", source, compressError.c_str());
                return false;
            }
            block = compressed.GetCompressedPath();
            produced = compressed.GetOriginalSize();
            entry.storedSize = compressed.GetCompressedFileSize();
        }

        ReportFormat("Adding file '%s' into installer file...", source);
        std::uint64_t copied = 0;
        if (!AppendFile(installer, block, copied)) {
            errorCode_ = ZorInstallerError::CannotOpenFile;
            return false;
        }
        if (compress) {
            std::remove(block.c_str());
        } else {
            produced = static_cast<std::uint32_t>(copied);
            entry.storedSize = produced;
        }

        // A file that changed since AddFile would make a TOC that lies.
        if (produced != entry.originalSize || copied > 0xFFFFFFFFu) {
            ReportFormat("!Error: File '%s' changed while it was archived.", source);
            return false;
        }
        entry.dataOffset = static_cast<std::uint32_t>(dataTotal);
        dataTotal += copied;
        if (extractorSize + dataTotal > kMaxInstallerSize) {
            ReportFormat("!Error: The installer would exceed 4 GiB with '%s'.", source);
            return false;
        }
    }
    return true;
}

bool InstallerArchive::WriteToc(CFile& installer, std::uint32_t extractorSize, std::uint32_t& tocSize) {
    std::size_t written = 0;
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_) {
        const ArchiveEntry& entry = entries_[cursor_];
        const std::string name = StoredFileName(entry.name);
        const auto nameLength = static_cast<std::uint32_t>(name.size() + 1);
        std::uint8_t header[kRecordHeaderSize] = {};
        header[0] = static_cast<std::uint8_t>(entry.type);
        std::memcpy(header + 1, entry.md5, kMd5DigestSize);
        StoreLittleEndian32(nameLength, header + 20);
        StoreFileTime(entry.creationTime, header + 24);
        StoreFileTime(entry.lastAccessTime, header + 32);
        StoreFileTime(entry.lastWriteTime, header + 40);
        StoreLittleEndian32(entry.dataOffset + extractorSize, header + 48);
        StoreLittleEndian32(entry.originalSize, header + 52);
        StoreLittleEndian32(entry.storedSize, header + 56);
        installer.Write(header, sizeof header);
        installer.Write(name.c_str(), nameLength);
        tocSize += static_cast<std::uint32_t>(kRecordHeaderSize) + nameLength;
        ++written;
    }
    if (written != entries_.size()) {
        errorCode_ = ZorInstallerError::BadDataList;
        return false;
    }
    return true;
}
