// Extraction of a loaded archive into one directory, and the same checks
// without writing anything (VerifyFiles). Entries go one at a time, in TOC
// order; the first failing entry stops everything.
#include "archive/installer_archive.h"

#include "archive/entry_name.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/path.h"
#include "compress/compressed_file.h"
#include "compress/zqm_reader.h"

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace archive_format;

namespace {

// Copies up to count bytes from the archive's position to the file, in
// pieces, stopping early at the end of the archive.
// Copies count bytes; progress (when given) receives the bytes copied so far
// after each piece.
void CopyBlock(CFile& archive, CFile& file, std::uint32_t count,
               const std::function<void(std::uint64_t)>& progress = nullptr) {
    const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyPiece);
    std::uint64_t copied = 0;
    while (count != 0) {
        const std::size_t got = archive.Read(piece.get(), std::min<std::size_t>(count, kCopyPiece));
        if (got == 0) break;
        file.Write(piece.get(), got);
        count -= static_cast<std::uint32_t>(got);
        copied += got;
        if (progress) progress(copied);
    }
}

} // namespace

bool InstallerArchive::ExtractFiles(const std::string& directory, std::string* error) {
    ReportFormat("Extracting files from  '%s' to '%s'...", filePath_.c_str(), directory.c_str());
    const auto fail = [&](const std::string& line) {
        Report(line);
        if (error) *error = line;
        return false;
    };

    CFile archive;
    if (!archive.OpenForReading(filePath_, FileShare::DenyNone)) {
        errorCode_ = ZorInstallerError::CannotOpenFile;
        return fail(StringFormat("!Error ExtractFiles: OpenFile(%s) error %s", filePath_.c_str(), LastErrorText()));
    }
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_) {
        if (!ExtractEntry(archive, entries_[cursor_], directory)) {
            errorCode_ = ZorInstallerError::CannotExtractFile;
            return fail(
                StringFormat("!Error LoadInstaller: %s Extract error %s", filePath_.c_str(), GetErrorText().c_str()));
        }
    }
    // Every entry reuses the one temporary "!ZQM" file, truncated for each:
    // creating and deleting a file per entry costs more than all the rest of
    // a small file's extraction. It goes once the last entry has expanded.
    if (options_ & kCompressFiles) std::remove(CompressedFile::DefaultCompressedPath().c_str());
    return true;
}

bool InstallerArchive::SeekToData(CFile& archive, const ArchiveEntry& entry) {
    if (entry.dataOffset > archive.GetLength()) {
        Report("!Erreur: Offset du fichier à extraire non valide.");
        return false;
    }
    archive.Seek(entry.dataOffset, SeekOrigin::Begin);
    return true;
}

bool InstallerArchive::ExtractEntry(CFile& archive, const ArchiveEntry& entry, const std::string& directory) {
    // Checked before anything is created: a crafted name must not reach
    // outside the directory or into a device.
    if (!IsPlainFileName(entry.name)) {
        ReportFormat("!Error: Invalid file name '%s' in the archive.", entry.name.c_str());
        return false;
    }
    const std::string destination = BuildPath(directory, entry.name, nullptr);
    ReportFormat("Extracting file '%s' (OriginalSize:%u, CompressedSize:%u)...", destination.c_str(),
                 entry.originalSize, entry.storedSize);

    std::function<void(std::uint64_t)> progress;
    if (byteCallback_ != nullptr) progress = [this](std::uint64_t written) { byteCallback_(written, byteUserWord_); };

    if (options_ & kCompressFiles) {
        CompressedFile compressed(destination);
        compressed.SetWriteProgress(progress);
        const std::string& temporary = compressed.GetCompressedPath();
        CFile copy;
        if (!copy.Create(temporary)) {
            ReportFormat("Unable to create file '%s' (%s).", temporary.c_str(), LastErrorText());
            return false;
        }
        if (!SeekToData(archive, entry)) return false;
        CopyBlock(archive, copy, entry.storedSize);
        copy.Close();
        std::string expandError;
        if (!compressed.Expand(nullptr, nullptr, nullptr, &expandError)) {
            ReportFormat("Error while uncompressing file '%s' (%s).", temporary.c_str(), expandError.c_str());
            return false;
        }
        if (compressed.GetOriginalSize() != entry.originalSize) {
            ReportFormat("Error while recovering original size for '%s' after uncompression (%u != %u).",
                         temporary.c_str(), compressed.GetOriginalSize(), entry.originalSize);
            return false;
        }
    } else {
        if (entry.originalSize != entry.storedSize) {
            ReportFormat("Unable to extract file '%s' (%s).", destination.c_str(), "malformatted toc infos");
            return false;
        }
        CFile output;
        if (!output.Create(destination)) {
            ReportFormat("Unable to create file '%s' (%s).", destination.c_str(), LastErrorText());
            return false;
        }
        if (!SeekToData(archive, entry)) return false;
        CopyBlock(archive, output, entry.originalSize, progress);
    }

    // The times first, then the digest, which reads the file they were set on.
    CFile timed;
    if (!timed.Open(destination, FileAccess::Write, FileCreation::OpenExisting, FileShare::Exclusive) ||
        !timed.SetFileTimes(&entry.creationTime, &entry.lastAccessTime, &entry.lastWriteTime))
        ReportFormat("Mise à jour date/heure du fichier '%s' impossible.", destination.c_str());
    timed.Close();

    std::uint8_t digest[kMd5DigestSize];
    if (!ComputeFileMD5(destination, digest)) {
        ReportFormat("Unable to compute MD5 sum for '%s'.", destination.c_str());
        return false;
    }
    if (!CompareMD5(digest, entry.md5)) {
        ReportFormat("Bad MD5 sum for '%s'.", destination.c_str());
        return false;
    }
    return true;
}

bool InstallerArchive::VerifyFiles(std::string* error) {
    ReportFormat("Verifying files of '%s'...", filePath_.c_str());
    CFile archive;
    if (!archive.OpenForReading(filePath_, FileShare::DenyNone)) {
        errorCode_ = ZorInstallerError::CannotOpenFile;
        const std::string line =
            StringFormat("!Error VerifyFiles: OpenFile(%s) error %s", filePath_.c_str(), LastErrorText());
        Report(line);
        if (error) *error = line;
        return false;
    }
    for (cursor_ = 0; cursor_ < entries_.size(); ++cursor_) {
        if (!VerifyEntry(archive, entries_[cursor_])) {
            errorCode_ = ZorInstallerError::CannotExtractFile;
            const std::string line =
                StringFormat("!Error VerifyFiles: %s Verify error %s", filePath_.c_str(), GetErrorText().c_str());
            Report(line);
            if (error) *error = line;
            return false;
        }
    }
    return true;
}

// The data block read in place: decoded (or taken as is) into the digest.
bool InstallerArchive::VerifyEntry(CFile& archive, const ArchiveEntry& entry) {
    const char* name = entry.name.c_str();
    ReportFormat("Verifying file '%s' (OriginalSize:%u, CompressedSize:%u)...", name, entry.originalSize,
                 entry.storedSize);
    if (!IsPlainFileName(entry.name)) {
        ReportFormat("!Error: Invalid file name '%s' in the archive.", name);
        return false;
    }
    const bool compressed = (options_ & kCompressFiles) != 0;
    if (!compressed && entry.originalSize != entry.storedSize) {
        ReportFormat("Unable to extract file '%s' (%s).", name, "malformatted toc infos");
        return false;
    }
    if (!SeekToData(archive, entry)) return false;

    Md5Digest md5;
    std::uint32_t left = entry.storedSize;
    const auto read = [&](void* buffer, std::size_t count) {
        const std::size_t got = archive.Read(buffer, std::min<std::size_t>(count, left));
        left -= static_cast<std::uint32_t>(got);
        return got;
    };
    std::uint32_t produced = 0;
    if (compressed) {
        DeflateCodec codec;
        ZqmSizes sizes;
        const auto digest = [&](const std::uint8_t* data, std::size_t count) { md5.Update(data, count); };
        if (ExpandZqm(read, digest, codec, sizes) != ZqmResult::Ok) {
            ReportFormat("Error while uncompressing file '%s' (%s).", name, "Uncompression error");
            return false;
        }
        produced = sizes.original;
    } else {
        const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(kCopyPiece);
        while (const std::size_t got = read(piece.get(), kCopyPiece)) {
            md5.Update(piece.get(), got);
            produced += static_cast<std::uint32_t>(got);
        }
    }
    if (produced != entry.originalSize) {
        ReportFormat("Error while recovering original size for '%s' after uncompression (%u != %u).", name, produced,
                     entry.originalSize);
        return false;
    }
    std::uint8_t digest[kMd5DigestSize];
    md5.Final(digest);
    if (!CompareMD5(digest, entry.md5)) {
        ReportFormat("Bad MD5 sum for '%s'.", name);
        return false;
    }
    return true;
}
