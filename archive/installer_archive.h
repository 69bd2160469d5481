// The in-memory installation archive: loaded from an installer file and
// extracted by the installer, filled from source files and written by the
// builder. Every progress and error line of its long operations goes to the
// progress callback as it happens. One thread.
#pragma once

#include "archive/archive_failure.h"
#include "archive/archive_format.h"
#include "archive/compression_settings.h"
#include "archive/extension_block.h"
#include "common/file.h"
#include "common/string_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class BufferedReader;
class BufferedWriter;
class CFile;
class DeflateCodec;
struct CompressedEntry;
struct EntryDecoders;

// Receives one progress or error line; text is valid only during the call.
using ProgressCallback = void (*)(const char* text, std::uintptr_t userWord);
// Receives the index (TOC order) of the entry that ExtractFiles, VerifyFiles
// or MakeInstaller starts on, before the entry's first line.
using EntryCallback = void (*)(std::size_t entryIndex, std::uintptr_t userWord);
// Receives the bytes of the current entry written so far while it is extracted.
using ByteProgressCallback = void (*)(std::uint64_t entryBytesWritten, std::uintptr_t userWord);

// True when image ends with an installation archive by the rule the loader
// follows: its last 64 bytes are a tailer, or, for a code-signed file, the
// 64 bytes before its certificate table and up to 7 zeros are, or, without
// a table, the 64 bytes before up to 7 zeros at its end are.
bool CarriesInstallerArchive(const std::uint8_t* image, std::size_t size);

class InstallerArchive {
public:
    InstallerArchive();
    virtual ~InstallerArchive();
    InstallerArchive(const InstallerArchive&) = delete;
    InstallerArchive& operator=(const InstallerArchive&) = delete;

    // A null callback drops the lines.
    void SetProgressCallback(ProgressCallback callback, std::uintptr_t userWord);

    // Null for none.
    void SetEntryCallback(EntryCallback callback, std::uintptr_t userWord) {
        entryCallback_ = callback;
        entryUserWord_ = userWord;
    }

    // ExtractFiles reports the bytes it writes of each entry, after every
    // piece, once its "Extracting file" line has gone out; null for none.
    void SetByteProgressCallback(ByteProgressCallback callback, std::uintptr_t userWord) {
        byteCallback_ = callback;
        byteUserWord_ = userWord;
    }

    // The installer file to read or write.
    void SetFilePath(const std::string& path) { filePath_ = path; }
    const std::string& GetFilePath() const { return filePath_; }

    // Reads tailer, TOC, strings and extension block of the file. False on
    // any failure, recorded in LastFailure; an open failure and a refused
    // extension block fill error with their line. A read failure of the file
    // layer is FileFailureMet's instead.
    bool LoadInstaller(std::string* error = nullptr);

    // The last failure of any operation; see ArchiveFailure.
    const ArchiveFailure& LastFailure() const { return failure_; }
    // The failure of the file layer (a read of the installer, a write of an
    // extracted file) that ended the last LoadInstaller, ExtractFiles or
    // VerifyFiles; null when none did. Such a failure reports no line and
    // fills neither LastFailure nor error: the caller says it, in the file
    // layer's sentence (FileFailure::Text).
    const FileFailure* FileFailureMet() const { return fileFailure_ ? &*fileFailure_ : nullptr; }
    ZorInstallerError GetErrorCode() const { return failure_.code; }
    // The text of GetErrorCode.
    std::string GetErrorText() const;

    const std::string& GetWindowList() const { return windowList_; }
    const std::string& GetAppName() const { return appName_; }
    const std::string& GetVersion() const { return version_; }
    const std::string& GetShortcutName() const { return shortcutName_; }
    void SetWindowList(const std::string& text) { windowList_ = text; }
    void SetAppName(const std::string& text) { appName_ = text; }
    void SetVersion(const std::string& text) { version_ = text; }
    void SetShortcutName(const std::string& text) { shortcutName_ = text; }

    // The extension block's pairs in their order on disk; empty when the
    // installer has no block (the builder then writes none).
    const std::vector<ExtensionPair>& GetExtensions() const { return extensions_; }
    void SetExtensions(std::vector<ExtensionPair> pairs) { extensions_ = std::move(pairs); }
    // The value of key in the extension block, empty when it is not there.
    std::string GetExtension(const std::string& key) const;
    // True when the extension block says the last entry is the uninstaller
    // image (archive_format.h "uninstaller").
    bool CarriesUninstaller() const;

    // The options word (kCompressFiles and the installation options).
    std::uint32_t GetOptions() const { return options_; }
    void SetOptions(std::uint32_t options) { options_ = options; }

    // How the builder compresses the files' data when the options word has
    // kCompressFiles; deflate unless set. In a loaded installer: the method,
    // layout and dictionary it declares.
    void SetCompression(const CompressionSettings& settings) { compression_ = settings; }
    // Builder: the times AddFile stores for reproducible bytes. With a
    // ceiling, an entry's access time is its write time, and each of its
    // three times later than the ceiling is the ceiling; without, they are
    // the file's own.
    void SetTimeCeiling(const std::optional<FileTime>& ceiling) { timeCeiling_ = ceiling; }
    const CompressionSettings& GetCompression() const { return compression_; }

    // The shared entry cursor: GetFirstFileName starts over ("[Error]" for an
    // empty archive), GetNextFileName continues ("" past the last entry).
    // ExtractFiles and the builder's passes move the same cursor.
    std::string GetFirstFileName();
    std::string GetNextFileName();

    // The entries in TOC order.
    const std::vector<ArchiveEntry>& GetEntries() const { return entries_; }
    // The sum of the entries' original sizes.
    std::uint64_t GetTotalOriginalSize() const;
    // Where a loaded installer's TOC starts, which ends its data.
    std::uint32_t GetTocOffset() const { return tocOffset_; }

    // Writes every file into directory (which must exist): each is decoded
    // straight from the installer into its destination, below the folders
    // its name has (made as needed), its times set and its digest checked.
    // Stops at the first failing entry, whose file is removed (also after a
    // failure of the file layer: a full disk); earlier files and folders stay.
    // Before the first file is written, every entry's name is checked
    // (entry_name.h) and every destination must fit the platform's path
    // limit: otherwise nothing is written.
    bool ExtractFiles(const std::string& directory, std::string* error = nullptr);

    // The first entry whose destination in directory would be longer than
    // the platform's path limit allows (kMaxPath - 1 characters, counted in
    // UTF-16 units as Windows counts them), or null.
    const ArchiveEntry* FindTooLongDestination(const std::string& directory) const;

    // Checks every entry's data and digest without writing any file: false at
    // the first entry that would not extract to its digest, with the same
    // failure lines and codes as ExtractFiles where they apply.
    bool VerifyFiles(std::string* error = nullptr);

    // Builder: the "EXE_SFX" resource whose bytes start the installer.
    void SetExtractorResourceId(int id) { extractorResourceId_ = id; }
    // Builder: an extractor image given directly, used instead of the resource.
    void SetExtractorImage(std::vector<std::uint8_t> image);
    // Builder: appends an entry for the file at path (size and times from a
    // directory lookup), stored under its file-name part. False with
    // CannotGetFileInfo when nothing readable as a plain file of less than
    // 4 GiB is there, or its name cannot be an entry's.
    bool AddFile(const std::string& path);
    // Builder: the same, stored under storedName, a relative entry name
    // ("bin\App.exe") that EntryPathProblem must accept.
    bool AddFile(const std::string& path, const std::string& storedName);
    // Builder: writes the installer file. It is written under a temporary
    // name beside its path and takes its place only once complete, so a
    // failure (or a FileException) leaves nothing behind and an existing file
    // at the path untouched. Each source is read once, for its digest and its
    // data block together; others may read it meanwhile, nobody may write it.
    // Failures before anything is written fill error.
    bool MakeInstaller(std::string* error = nullptr);

    // The MD5 digest of a whole file, with its progress and error lines.
    bool ComputeFileMD5(const std::string& path, std::uint8_t digest[kMd5DigestSize]);

private:
    void Report(const std::string& line) const;
    void ReportFormat(const char* format, ...) const ZOR_PRINTF_FORMAT(2, 3);
    // Records a failure that reports no line. Always false.
    bool Fail(ZorInstallerError code);
    // Ends an operation's failure with the line format makes: records code
    // and the line, with the cause a failing entry left (EntryFailed) if any,
    // reports the line and copies it into error when one is given. Always
    // false.
    bool Fail(ZorInstallerError code, std::string* error, const char* format, ...) ZOR_PRINTF_FORMAT(4, 5);
    // A failing entry's own line: reported, and kept with code for the Fail
    // that closes the operation (which may give its own code). Always false.
    bool EntryFailed(const ArchiveEntry& entry, ZorInstallerError code, const char* format, ...)
        ZOR_PRINTF_FORMAT(4, 5);
    // True when the file layer failed under the running operation: at a
    // write before (fileFailure_), or at a read of reader, which is then
    // recorded. Called once reader's reads have ended, whichever thread made them.
    bool FileFailedUnder(const BufferedReader& reader);
    // end: the archive's end, the end of the file unless padding or a certificate table follows.
    bool ReadToc(BufferedReader& file, std::uint64_t end, const ArchiveTailer& tailer);
    bool ReadString(BufferedReader& file, std::uint64_t end, std::uint32_t offset, std::uint32_t length,
                    std::string& value);
    bool ReadExtensionBlock(BufferedReader& file, std::uint64_t end, const ArchiveTailer& tailer, std::string* error);
    // Fills compression_ from the extension block, refusing what this reader
    // cannot decode (archive_compression.cpp).
    bool ReadCompression(std::uint32_t formatVersion, std::string* error);
    // The pairs that declare compression_ with the given largest dictionary.
    std::vector<ExtensionPair> CompressionPairs(std::uint32_t dictionary) const;
    bool CheckDestinations(const std::string& directory);
    // Empty unless the uninstaller the extension block asks for cannot stand
    // with the entries: an "uninstall-key" pair and an entry the uninstaller
    // or its record would be written over (entry_name.h), or a carried
    // uninstaller that is not the last entry; otherwise why, as the end of a
    // sentence.
    std::string UninstallerProblem() const;
    // Where entry goes in directory: its name with the platform's separators.
    static std::string DestinationOf(const std::string& directory, const ArchiveEntry& entry);
    // Makes the folders of entry's name below directory; true at once for a
    // name without folders. A failure reports CreateDirectoryTree's line.
    bool MakeEntryFolder(const std::string& directory, const ArchiveEntry& entry, std::string& madeFolder);
    void StartEntry(std::size_t index);
    // An entry's progress lines as the builder starts on it.
    void ReportArchiving(const ArchiveEntry& entry, bool compress);
    // Allocates the LZMA window every stream of the installer needs, before
    // anything is written; with deflate there is nothing to do.
    bool PrepareDecoders(BufferedReader& archive, EntryDecoders& decoders, std::string* error);
    bool ExtractEntry(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry,
                      const std::string& directory, std::string& madeFolder);
    bool VerifyEntry(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry);
    bool CheckStoredSizes(const ArchiveEntry& entry, const std::string& shownName);
    bool ReadEntryContent(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry,
                          const std::string& shownName,
                          const std::function<void(const std::uint8_t*, std::size_t)>& write,
                          std::uint8_t digest[kMd5DigestSize]);
    // The LZMA branch of ReadEntryContent (archive_extract_lzma.cpp).
    bool ReadLzmaContent(BufferedReader& archive, EntryDecoders& decoders, const ArchiveEntry& entry,
                         const std::string& shownName,
                         const std::function<void(const std::uint8_t*, std::size_t)>& take);
    bool CheckDigest(const std::uint8_t digest[kMd5DigestSize], const ArchiveEntry& entry,
                     const std::string& shownName);
    bool WriteDataBlocks(BufferedWriter& installer, std::uint64_t extractorSize, std::uint64_t& dataTotal);
    bool WriteStoredBlock(BufferedWriter& installer, ArchiveEntry& entry);
    // Reports what went wrong with a block made in memory; true when nothing did.
    bool CheckCompressedEntry(const ArchiveEntry& entry, const CompressedEntry& block);
    // LZMA with one stream for all entries (archive_build_lzma.cpp).
    bool WriteSolidStream(BufferedWriter& installer, std::uint64_t extractorSize, std::uint64_t& dataTotal);
    // The records, packed when pack (LZMA); false when packing failed.
    bool WriteToc(BufferedWriter& installer, std::uint32_t extractorSize, bool pack, std::uint64_t& tocSize);
    bool WritePackedToc(BufferedWriter& installer, const std::vector<std::uint8_t>& records, std::uint64_t& tocSize);
    bool LoadExtractor(std::vector<std::uint8_t>& image);

    std::string filePath_;
    std::string windowList_, appName_, version_, shortcutName_;
    int extractorResourceId_ = -1;
    std::vector<std::uint8_t> extractorImage_;
    bool hasExtractorImage_ = false;
    std::vector<ExtensionPair> extensions_;
    std::uint32_t options_ = kDefaultOptions;
    CompressionSettings compression_;
    // The largest dictionary the streams written so far got.
    std::uint32_t dictionaryUsed_ = 0;
    std::uint32_t tocOffset_ = 0;
    ArchiveFailure failure_;
    std::optional<FileFailure> fileFailure_;
    std::optional<FileTime> timeCeiling_;
    // The running operation's failing entry has filled failure_'s cause.
    bool entryFailed_ = false;
    std::vector<ArchiveEntry> entries_;
    std::size_t cursor_ = 0;
    ProgressCallback callback_ = nullptr;
    std::uintptr_t userWord_ = 0;
    EntryCallback entryCallback_ = nullptr;
    std::uintptr_t entryUserWord_ = 0;
    ByteProgressCallback byteCallback_ = nullptr;
    std::uintptr_t byteUserWord_ = 0;
};
