// Reading an installer file: the tailer found from the end of the file, the
// TOC and the four strings it points to, and the extension block in the bytes
// left between the strings and the tailer (layout in archive_format.h). Every
// offset and length comes from a file an attacker may have written: each is
// checked against the file's length before it is used, and nothing is
// allocated beyond what the file can actually hold.
//
// A code-signed installer carries its certificate table after the archive:
// the tailer is then found before it (signed_file_end.h).
#include "archive/installer_archive.h"

#include "archive/packed_toc.h"
#include "archive/signed_file_end.h"
#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/little_endian.h"
#include "compress/lzma_chunks.h"

#include <algorithm>
#include <cstring>

using namespace archive_format;

namespace {

struct StringField {
    const char* progress;
    const char* failure;
    std::string InstallerArchive::*value;
};

// Bytes held in memory, read the way BufferedReader reads a file, so that one
// lookup serves installers on disk and images already read.
class MemoryReader {
public:
    MemoryReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint64_t Length() const { return size_; }
    void Seek(std::uint64_t position) { position_ = position; }
    std::size_t Read(void* buffer, std::size_t count) {
        if (position_ >= size_) return 0;
        const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(count, size_ - position_));
        std::memcpy(buffer, data_ + position_, taken);
        position_ += taken;
        return taken;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::uint64_t position_ = 0;
};

// Reads the tailer into bytes and sets end to the archive's end, where the
// tailer ends (signed_file_end.h).
template <class Reader>
ZorInstallerError LocateTailer(Reader& file, std::uint8_t (&bytes)[kTailerSize], std::uint64_t& end) {
    return signed_file_end::LocateTrailer(file, kSignature, kSignatureCompared, bytes, kTailerSize, end)
               ? ZorInstallerError::Success
               : ZorInstallerError::BadSignature;
}

} // namespace

bool CarriesInstallerArchive(const std::uint8_t* image, std::size_t size) {
    MemoryReader reader(image, size);
    std::uint8_t bytes[kTailerSize];
    std::uint64_t end = 0;
    return LocateTailer(reader, bytes, end) == ZorInstallerError::Success;
}

bool InstallerArchive::LoadInstaller(std::string* error) {
    entries_.clear();
    extensions_.clear();
    cursor_ = 0;
    fileFailure_.reset();
    ReportFormat("Loading Installer file '%s'...", filePath_.c_str());

    CFile file;
    if (!file.OpenForReading(filePath_, FileShare::DenyNone))
        return Fail(ZorInstallerError::CannotOpenFile, error, "!Error LoadInstaller: OpenFile(%s) error %s",
                    filePath_.c_str(), LastErrorText());

    // The TOC is many small records: one buffer serves them all.
    BufferedReader reader(file);
    // A failed read ends what can be read, which the checks below would take
    // for damage: each failure is first asked whether the file layer's it was.
    const auto readFailed = [&] {
        if (!FileFailedUnder(reader)) return false;
        entries_.clear();
        extensions_.clear();
        return true;
    };
    if (readFailed()) return false;
    if (reader.Length() < kTailerSize) return Fail(ZorInstallerError::BadSignature);
    std::uint8_t bytes[kTailerSize];
    std::uint64_t end = 0;
    ArchiveTailer tailer;
    ZorInstallerError tailerCheck = LocateTailer(reader, bytes, end);
    if (tailerCheck == ZorInstallerError::Success) tailerCheck = ParseTailer(bytes, tailer);
    if (readFailed()) return false;
    if (tailerCheck != ZorInstallerError::Success) return Fail(tailerCheck);
    options_ = tailer.options;
    tocOffset_ = tailer.tocOffset;

    Report("Reading TOC...");
    // A TOC or string that does not fit the file is a bad TOC: the tailer's
    // table points past the archive.
    const bool tocRead = ReadToc(reader, end, tailer);
    if (readFailed()) return false;
    if (!tocRead)
        return Fail(ZorInstallerError::BadToc, nullptr, "!Error LoadInstaller: %s TOC error %s", filePath_.c_str(),
                    ZorInstallerErrorText(ZorInstallerError::BadToc).c_str());

    static const StringField kFields[kArchiveStringCount] = {
        {"Reading window list...", "!Error LoadInstaller: %s Window list error %s", &InstallerArchive::windowList_},
        {"Reading Application name...", "!Error LoadInstaller: %s Application name error %s",
         &InstallerArchive::appName_},
        {"Reading Application version...", "!Error LoadInstaller: %s Application version error %s",
         &InstallerArchive::version_},
        {"Reading Shortcut name...", "!Error LoadInstaller: %s Shortcut name error %s",
         &InstallerArchive::shortcutName_},
    };
    for (int i = 0; i < kArchiveStringCount; ++i) {
        Report(kFields[i].progress);
        const bool read =
            ReadString(reader, end, tailer.stringOffset[i], tailer.stringLength[i], this->*kFields[i].value);
        if (readFailed()) return false;
        if (!read)
            return Fail(ZorInstallerError::BadToc, nullptr, kFields[i].failure, filePath_.c_str(),
                        ZorInstallerErrorText(ZorInstallerError::BadToc).c_str());
    }
    const bool blockRead = ReadExtensionBlock(reader, end, tailer, error);
    if (readFailed()) return false;
    return blockRead && ReadCompression(tailer.formatVersion, error);
}

// The block fills the bytes from the end of the string that ends last to the
// tailer (layout in archive_format.h); no such bytes, no block and no line.
bool InstallerArchive::ReadExtensionBlock(BufferedReader& file, std::uint64_t end, const ArchiveTailer& tailer,
                                          std::string* error) {
    std::uint64_t start = 0;
    for (int i = 0; i < kArchiveStringCount; ++i)
        start = std::max(start,
                         std::min<std::uint64_t>(std::uint64_t{tailer.stringOffset[i]} + tailer.stringLength[i], end));
    const std::uint64_t tailerStart = end - kTailerSize;
    if (start >= tailerStart) return true;
    Report("Reading extension block...");
    const std::uint64_t size = tailerStart - start;
    std::string problem;
    if (size > extension_block::kMaxSize) {
        problem = StringFormat("is larger than %zu bytes", extension_block::kMaxSize);
    } else {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
        file.Seek(start);
        if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
            if (FileFailedUnder(file)) return false; // LoadInstaller says it
            problem = "is cut short";
        } else
            problem = ParseExtensionBlock(bytes.data(), bytes.size(), extensions_);
    }
    // The uninstaller would be written over such an entry: the pair and the
    // entry cannot both stand.
    if (problem.empty()) problem = UninstallerProblem();
    if (problem.empty()) return true;
    extensions_.clear();
    return Fail(ZorInstallerError::ExtensionBlock, error,
                "!Error LoadInstaller: %s Extension block error %s: the block at %llu %s", filePath_.c_str(),
                ZorInstallerErrorText(ZorInstallerError::ExtensionBlock).c_str(),
                static_cast<unsigned long long>(start), problem.c_str());
}

namespace {

// Entries are kept only once their whole record has been read, so a huge
// entry count in a small file costs no memory: the reads fail first.
template <class Reader>
bool ReadRecords(Reader& file, std::uint32_t entryCount, std::vector<ArchiveEntry>& entries) {
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        std::uint8_t header[kRecordHeaderSize];
        char name[kMaxNameLength + 1] = {};
        ArchiveEntry entry;
        // A longer name than any writer stores is damage, not a name to cut.
        bool ok = file.Read(header, sizeof header) == sizeof header;
        if (ok) {
            ParseRecordHeader(header, entry);
            ok = entry.type == kEntryType && entry.nameLength <= kMaxNameLength &&
                 file.Read(name, entry.nameLength) == entry.nameLength;
        }
        if (!ok) return false;
        entry.name.assign(name, strnlen(name, entry.nameLength));
        entries.push_back(std::move(entry));
    }
    return true;
}

} // namespace

// An LZMA installer's records are packed; they must fill the unpacked bytes
// exactly.
bool InstallerArchive::ReadToc(BufferedReader& file, std::uint64_t end, const ArchiveTailer& tailer) {
    if (tailer.tocOffset > end) return false;
    file.Seek(tailer.tocOffset);
    if (tailer.formatVersion != kLzmaFormatVersion) return ReadRecords(file, tailer.entryCount, entries_);
    if (tailer.tocOffset > end - kTailerSize) return false;
    std::uint64_t left = end - kTailerSize - tailer.tocOffset;
    const LzmaSource read = [&](void* buffer, std::size_t count) { return file.ReadWithin(buffer, count, left); };
    PackedTocReader records;
    return records.Open(read) && ReadRecords(records, tailer.entryCount, entries_) && records.AtEnd();
}

// A string field whose offset lies beyond the archive's end is damage
// (reported as a bad TOC: the tailer's table of the strings points nowhere);
// a length that runs past the end yields the bytes that are there.
bool InstallerArchive::ReadString(BufferedReader& file, std::uint64_t end, std::uint32_t offset, std::uint32_t length,
                                  std::string& value) {
    if (offset > end) return false;
    file.Seek(offset);
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(length, end - offset)), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    value.assign(bytes.c_str());
    return true;
}

bool PackedTocReader::Open(const LzmaSource& read) {
    std::uint8_t size[4];
    if (!ReadFully(read, size, sizeof size)) return false;
    left_ = LoadLittleEndian32(size);
    return left_ <= kMaxLzmaTocSize && stream_.Open(read, left_, kMaxTocDictionary) == LzmaResult::Ok;
}

std::size_t PackedTocReader::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count && left_ != 0) {
        const std::uint8_t* data = nullptr;
        std::size_t got = 0;
        if (stream_.Next(data, got, count - done) != LzmaResult::Ok) {
            failed_ = true;
            break;
        }
        std::memcpy(out + done, data, got);
        done += got;
        left_ -= static_cast<std::uint32_t>(got);
    }
    return done;
}
