// Extraction of a loaded archive into one directory, and the same checks
// without writing anything (VerifyFiles). Entries go one at a time, in TOC
// order; the first failing entry stops everything. An entry whose name has
// folders ("bin\App.exe") gets them made below the directory first; every
// name has been checked by then, so none of them lies outside it.
//
// Each data block is read in place from the installer (through one buffer,
// since blocks follow each other) and decoded straight into its destination:
// one open per file, the digest taken over the bytes as they are written,
// the times set on the open file. Extraction and verification share every
// check of an entry; they differ only in where the content goes.
#include "archive/installer_archive.h"

#include "archive/entry_decoders.h"
#include "archive/entry_name.h"
#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/path.h"
#include "common/utf8.h"
#include "compress/deflate_codec.h"
#include "compress/zqm_reader.h"

#include <cstdio>
#include <memory>

using namespace archive_format;

namespace {

// The file being extracted: removed unless its entry completes, whatever
// ends it (a failed check, or a failure of the file layer such as a full
// disk).
class PendingFile {
public:
    PendingFile(CFile& file, const std::string& path) : file_(file), path_(path) {}
    ~PendingFile() {
        if (kept_) return;
        file_.Close();
        std::remove(path_.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    void Keep() { kept_ = true; }

private:
    CFile& file_;
    const std::string& path_;
    bool kept_ = false;
};

} // namespace

bool InstallerArchive::ExtractFiles(const std::string& directory, std::string* error) {
    ReportFormat("Extracting files from  '%s' to '%s'...", filePath_.c_str(), directory.c_str());
    fileFailure_.reset();
    const auto failExtraction = [&] {
        return Fail(ZorInstallerError::CannotExtractFile, error, "!Error LoadInstaller: %s Extract error %s",
                    filePath_.c_str(), ZorInstallerErrorText(ZorInstallerError::CannotExtractFile).c_str());
    };

    if (!CheckDestinations(directory)) return failExtraction();
    CFile archive;
    if (!archive.OpenForReading(filePath_, FileShare::DenyNone))
        return Fail(ZorInstallerError::CannotOpenFile, error, "!Error ExtractFiles: OpenFile(%s) error %s",
                    filePath_.c_str(), LastErrorText());
    BufferedReader reader(archive);
    EntryDecoders decoders;
    if (!PrepareDecoders(reader, decoders, error)) return false;
    std::string madeFolder;
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_)
        if (!ExtractEntry(reader, decoders, entries_[cursor_], directory, madeFolder))
            return fileFailure_ ? false : failExtraction();
    return true;
}

std::string InstallerArchive::DestinationOf(const std::string& directory, const ArchiveEntry& entry) {
    return BuildPath(directory, NativeEntryPath(entry.name), nullptr);
}

const ArchiveEntry* InstallerArchive::FindTooLongDestination(const std::string& directory) const {
    for (const ArchiveEntry& entry : entries_)
        if (Utf16Length(DestinationOf(directory, entry)) >= kMaxPath) return &entry;
    return nullptr;
}

// Every name and every destination, before anything is written: a damaged
// or hostile entry in the middle must not leave half an installation.
bool InstallerArchive::CheckDestinations(const std::string& directory) {
    for (const ArchiveEntry& entry : entries_) {
        if (!IsEntryPath(entry.name))
            return EntryFailed(entry, ZorInstallerError::CannotExtractFile,
                               "!Error: Invalid file name '%s' in the archive.", entry.name.c_str());
    }
    if (const ArchiveEntry* entry = FindTooLongDestination(directory))
        return EntryFailed(*entry, ZorInstallerError::CannotExtractFile,
                           "!Error: The path of '%s' would be longer than %zu characters: '%s'.", entry->name.c_str(),
                           kMaxPath - 1, DestinationOf(directory, *entry).c_str());
    return true;
}

void InstallerArchive::StartEntry(std::size_t index) {
    if (entryCallback_) entryCallback_(index, entryUserWord_);
}

// madeFolder: the folder made (or found) for the previous entry. The entries
// of one folder follow each other, so each folder is looked up once.
bool InstallerArchive::MakeEntryFolder(const std::string& directory, const ArchiveEntry& entry,
                                       std::string& madeFolder) {
    const std::size_t end = entry.name.rfind(kEntrySeparator);
    if (end == std::string::npos) return true;
    const std::string folder = BuildPath(directory, NativeEntryPath(entry.name.substr(0, end)), nullptr);
    if (folder == madeFolder) return true;
    std::string error;
    if (!CreateDirectoryTree(folder, &error))
        return EntryFailed(entry, ZorInstallerError::CannotExtractFile, "%s", error.c_str());
    madeFolder = folder;
    return true;
}

bool InstallerArchive::ExtractEntry(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry,
                                    const std::string& directory, std::string& madeFolder) {
    StartEntry(cursor_);
    const std::string destination = DestinationOf(directory, entry);
    ReportFormat("Extracting file '%s' (OriginalSize:%u, CompressedSize:%u)...", destination.c_str(),
                 entry.originalSize, entry.storedSize);
    if (!CheckStoredSizes(entry, destination)) return false;
    if (entry.dataOffset > archive.Length())
        return EntryFailed(entry, ZorInstallerError::CannotExtractFile,
                           "!Erreur: Offset du fichier à extraire non valide.");

    if (!MakeEntryFolder(directory, entry, madeFolder)) return false;
    CFile output;
    if (!output.Create(destination))
        return EntryFailed(entry, ZorInstallerError::CannotExtractFile, "Unable to create file '%s' (%s).",
                           destination.c_str(), LastErrorText());
    PendingFile pending(output, destination);
    std::uint64_t written = 0;
    std::uint8_t digest[kMd5DigestSize];
    // After a failed write nothing more is written, and the decoding stops
    // at its next read.
    const bool read = ReadEntryContent(
        archive, decoders, entry, destination,
        [&](const std::uint8_t* data, std::size_t count) {
            if (fileFailure_) return;
            if (!output.TryWrite(data, count)) {
                fileFailure_ = output.Failure();
                return;
            }
            written += count;
            if (byteCallback_) byteCallback_(written, byteUserWord_);
        },
        digest);
    if (!read || fileFailure_) return false;

    // The times go on the open file, after its last byte: closing it changes
    // none of them.
    if (!output.SetFileTimes(&entry.creationTime, &entry.lastAccessTime, &entry.lastWriteTime))
        ReportFormat("Mise à jour date/heure du fichier '%s' impossible.", destination.c_str());
    output.Close();
    ReportFormat("Computing MD5 sum for file '%s'...", destination.c_str());
    if (!CheckDigest(digest, entry, destination)) return false;
    pending.Keep();
    return true;
}

bool InstallerArchive::VerifyFiles(std::string* error) {
    ReportFormat("Verifying files of '%s'...", filePath_.c_str());
    fileFailure_.reset();
    CFile archive;
    if (!archive.OpenForReading(filePath_, FileShare::DenyNone))
        return Fail(ZorInstallerError::CannotOpenFile, error, "!Error VerifyFiles: OpenFile(%s) error %s",
                    filePath_.c_str(), LastErrorText());
    BufferedReader reader(archive);
    EntryDecoders decoders;
    if (!PrepareDecoders(reader, decoders, error)) return false;
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_) {
        if (!VerifyEntry(reader, decoders, entries_[cursor_]))
            return !fileFailure_ &&
                   Fail(ZorInstallerError::CannotExtractFile, error, "!Error VerifyFiles: %s Verify error %s",
                        filePath_.c_str(), ZorInstallerErrorText(ZorInstallerError::CannotExtractFile).c_str());
    }
    return true;
}

bool InstallerArchive::VerifyEntry(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry) {
    StartEntry(cursor_);
    const std::string& name = entry.name;
    ReportFormat("Verifying file '%s' (OriginalSize:%u, CompressedSize:%u)...", name.c_str(), entry.originalSize,
                 entry.storedSize);
    if (!IsEntryPath(name))
        return EntryFailed(entry, ZorInstallerError::CannotExtractFile,
                           "!Error: Invalid file name '%s' in the archive.", name.c_str());
    if (!CheckStoredSizes(entry, name)) return false;
    if (entry.dataOffset > archive.Length())
        return EntryFailed(entry, ZorInstallerError::CannotExtractFile,
                           "!Erreur: Offset du fichier à extraire non valide.");
    std::uint8_t digest[kMd5DigestSize];
    return ReadEntryContent(
               archive, decoders, entry, name, [](const std::uint8_t*, std::size_t) {}, digest) &&
           CheckDigest(digest, entry, name);
}

// A stored block is the file itself: its two sizes must agree.
bool InstallerArchive::CheckStoredSizes(const ArchiveEntry& entry, const std::string& shownName) {
    if ((options_ & kCompressFiles) != 0 || entry.originalSize == entry.storedSize) return true;
    return EntryFailed(entry, ZorInstallerError::CannotExtractFile, "Unable to extract file '%s' (%s).",
                       shownName.c_str(), "malformatted toc infos");
}

// The block is read in place, never past storedSize. A stored block cut
// short by the end of the file yields fewer bytes, which the digest then
// rejects; a compressed one must expand to exactly originalSize.
bool InstallerArchive::ReadEntryContent(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry,
                                        const std::string& shownName,
                                        const std::function<void(const std::uint8_t*, std::size_t)>& write,
                                        std::uint8_t digest[kMd5DigestSize]) {
    Md5Digest md5;
    const auto take = [&](const std::uint8_t* data, std::size_t count) {
        md5.Update(data, count);
        write(data, count);
    };
    if ((options_ & kCompressFiles) != 0 && compression_.method == CompressionMethod::Lzma) {
        if (!ReadLzmaContent(archive, decoders, entry, shownName, take)) return false;
        md5.Final(digest);
        return true;
    }
    archive.Seek(entry.dataOffset);
    std::uint64_t left = entry.storedSize;
    // Nothing more is read once a write has failed.
    const auto read = [&](void* buffer, std::size_t count) -> std::size_t {
        return fileFailure_ ? 0 : archive.ReadWithin(buffer, count, left);
    };
    if ((options_ & kCompressFiles) != 0) {
        DeflateCodec& codec = decoders.codec;
        codec.Reset();
        ZqmSizes sizes;
        const ZqmResult result = ExpandZqm(read, take, codec, sizes);
        if (FileFailedUnder(archive)) return false;
        if (result != ZqmResult::Ok)
            return EntryFailed(entry, ZorInstallerError::CannotExtractFile, "Error while uncompressing file '%s' (%s).",
                               shownName.c_str(),
                               result == ZqmResult::BadMagic ? "no compressed data" : "Uncompression error");
        if (sizes.original != entry.originalSize)
            return EntryFailed(entry, ZorInstallerError::CannotExtractFile,
                               "Error while recovering original size for '%s' after uncompression (%u != %u).",
                               shownName.c_str(), sizes.original, entry.originalSize);
    } else {
        const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyPiece);
        while (const std::size_t got = read(piece.get(), kCopyPiece)) take(piece.get(), got);
        if (FileFailedUnder(archive)) return false;
    }
    md5.Final(digest);
    return true;
}

bool InstallerArchive::CheckDigest(const std::uint8_t digest[kMd5DigestSize], const ArchiveEntry& entry,
                                   const std::string& shownName) {
    if (CompareMD5(digest, entry.md5)) return true;
    return EntryFailed(entry, ZorInstallerError::CannotExtractFile, "Bad MD5 sum for '%s'.", shownName.c_str());
}
