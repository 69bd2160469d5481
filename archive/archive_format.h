// Layout of the installation archive appended to an installer executable.
// All integers are unsigned 32-bit little-endian; every offset is absolute,
// counted from the first byte of the installer file.
//
//   extractor image   the extractor executable, unchanged (length L)
//   data blocks       one per entry, in TOC order: a "!ZQM" file when the
//                     options word has kCompressFiles, else the file itself;
//                     with LZMA (below), a chunked LZMA stream per entry,
//                     or one for all entries
//   TOC               per entry a 60-byte header, then the name with its NUL;
//                     with LZMA, these records packed (below)
//   4 strings         window list, application name, version, shortcut name,
//                     each with its NUL
//   (extension)       optional key/value block, below
//   tailer            64 bytes, the last 64 bytes of the file unless
//                     padding or a signature follows
//   (padding)         only in a file that is or was code-signed: up to 7
//                     zero bytes, which signing tools add to align the table
//                     and which stay when its signature is removed
//   (signature)       only in a code-signed installer: the Authenticode
//                     certificate table, which the PE security directory of
//                     the extractor image names and which ends the file
//                     (signed_file_end.h)
//
// Tailer:  0 signature "!ZorInstaller!" NUL NUL   16 format version 258,
//            or 259 with LZMA
//         20 options   24 entry count   28 TOC offset
//         32/36 window list offset/length   40/44 application name
//         48/52 version   56/60 shortcut name (lengths count the NUL)
// Record:  0 type 'F'   1 MD5 of the content (16)   17 coding (LZMA
//            only, else 0)   18 reserved (2)
//         20 name length with NUL (at most 261)   24/32/40 creation,
//         last-access, last-write FILETIME   48 data offset
//         52 original size   56 stored size   60 name
// The name is the file's path relative to the installation directory, UTF-8,
// components joined by "\" (entry_name.h); the extractor refuses any name
// that could leave that directory before it writes anything.
//
// Extension block: settings the tailer has no field for. It starts where the
// string that ends last ends (the largest offset + length of the four, cut at
// the archive's end) and fills every byte from there to the tailer; without
// a block the tailer follows the strings directly, as every installer made
// before the block existed has it. A reader that knows nothing of the block
// reads only what the tailer points to and so never looks at it. When a
// string runs into or past the tailer there is no room, and no block.
//          0 magic "ZEXT"   4 block version 1
//          8 block length, these 16 bytes included: exactly the bytes up to
//            the tailer, at most kMaxExtensionSize
//         12 pair count
//         16 pairs, each: key length, key, value length, value (no NULs)
// Keys are 1 to 32 of a-z, 0-9 and "-", each at most once; values are
// UTF-8; the pairs fill the block exactly. Anything else refuses the whole
// installer (ExtensionBlock): the block says where the files go, so a
// damaged one must not quietly fall back to the default folder.
//
// LZMA: an installer whose files any method but deflate wrote has format
// version 259, which every reader made before it refuses at once, and the
// pair "compression" = "lzma". Its data are chunked LZMA streams
// (compress/lzma_chunks_format.h: the properties and the dictionary at the
// start of each, then coded and stored chunks), and kCompressFiles is set.
//   "dictionary"  decimal, 4096 to kMaxDictionary: the largest dictionary
//                 of any stream, which the extractor allocates once before
//                 it writes anything; no stream may ask for more
//   "layout"      "solid": one stream holds every entry's bytes in TOC order,
//                 from the first data block's offset to the TOC; every
//                 record has that offset and a stored size of 0. Absent: a
//                 stream per entry, its record's offset and stored size
//                 bounding it
//   coding        per record, bit 0: the entry's bytes went through the x86
//                 branch filter (compress/x86_branch_filter.h) from their
//                 first byte, before compression; other bits are refused
//   TOC           4 bytes, the records' size (at most kMaxLzmaTocSize), then
//                 a chunked LZMA stream of exactly those bytes, whose
//                 dictionary is at most kMaxTocDictionary: the records of
//                 the layout above, back to back. Names and times repeat
//                 from record to record, so they pack to a third or less.
// A reader refuses, before it decodes anything, a version-259 installer
// without the pair, a method or layout it does not know, a dictionary out
// of range, and a version-258 installer that names a method.
#pragma once

#include "common/file_time.h"
#include "compress/md5_digest.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace archive_format {

inline constexpr char kSignature[16] = "!ZorInstaller!"; // 14 characters, NUL, one more zero
inline constexpr std::size_t kSignatureCompared = 15;    // the 16th byte is not examined
inline constexpr std::uint32_t kFormatVersion = 258;
inline constexpr std::uint32_t kLzmaFormatVersion = 259;
// The largest dictionary an installer may ask its extractor for.
inline constexpr std::uint32_t kMaxDictionary = 1u << 30;
// An LZMA installer's packed TOC: the records' size and the stream's
// dictionary at most. 64 MiB of records is some 600,000 files, and bounds
// what a reader holds for a hostile TOC that packs well.
inline constexpr std::uint32_t kMaxLzmaTocSize = 64u << 20;
inline constexpr std::uint32_t kMaxTocDictionary = 1u << 20;
// Bits of a record's coding byte.
inline constexpr std::uint8_t kBranchFilterCoding = 0x01;
inline constexpr std::size_t kTailerSize = 64;
inline constexpr std::size_t kRecordHeaderSize = 60;
inline constexpr std::uint32_t kMaxNameLength = 261;
inline constexpr char kEntryType = 'F';
inline constexpr std::size_t kCopyPiece = 65536;
// Offsets and sizes are 32-bit: no installer, and so no file in one, may
// reach 4 GiB.
inline constexpr std::uint64_t kMaxArchiveSize = 0xFFFFFFFFu;

// Byte offsets of the tailer's fields.
namespace tailer_field {
inline constexpr std::size_t kSignature = 0;
inline constexpr std::size_t kFormatVersion = 16;
inline constexpr std::size_t kOptions = 20;
inline constexpr std::size_t kEntryCount = 24;
inline constexpr std::size_t kTocOffset = 28;
// Four (offset, length) pairs from here, in ArchiveString order.
inline constexpr std::size_t kStrings = 32;
inline constexpr std::size_t kStringPairSize = 8;
} // namespace tailer_field

// Byte offsets of a TOC record's fields; the name follows at kRecordHeaderSize.
namespace record_field {
inline constexpr std::size_t kType = 0;
inline constexpr std::size_t kMd5 = 1;
inline constexpr std::size_t kCoding = 17;
inline constexpr std::size_t kNameLength = 20; // 18 and 19 are reserved, written as zeros
inline constexpr std::size_t kCreationTime = 24;
inline constexpr std::size_t kLastAccessTime = 32;
inline constexpr std::size_t kLastWriteTime = 40;
inline constexpr std::size_t kDataOffset = 48;
inline constexpr std::size_t kOriginalSize = 52;
inline constexpr std::size_t kStoredSize = 56;
} // namespace record_field

// The extension block (layout above).
namespace extension_block {
inline constexpr char kMagic[4] = {'Z', 'E', 'X', 'T'};
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kMaxSize = 65536;
inline constexpr std::size_t kMaxKeyLength = 32;
// Known keys. A key this reader does not know is kept and listed, not used.
inline constexpr char kPublisherKey[] = "publisher";
inline constexpr char kInstallDirKey[] = "install-dir";
// "per-user": installed for the current user only, without elevation.
// Absent: for the machine, as every installer before the key.
inline constexpr char kScopeKey[] = "scope";
inline constexpr char kPerUserScope[] = "per-user";
// The name of the key below ...\CurrentVersion\Uninstall that the
// installation writes, with an uninstaller; absent: no uninstaller.
inline constexpr char kUninstallKeyKey[] = "uninstall-key";
// "uninstaller": the installer carries the publisher's icon, and so does the
// uninstaller cut from it, which the uninstall entry's DisplayIcon then
// names. Absent: DisplayIcon names the main executable.
inline constexpr char kIconKey[] = "icon";
inline constexpr char kUninstallerIcon[] = "uninstaller";
// "carried": the last entry, uninstall.exe at the top of the directory, is
// the uninstaller image the builder made (and the publisher may have
// signed; uninstall/uninstall_record.h). The installation extracts it as it
// extracts every file and writes its record to uninstall.dat beside it; no
// other entry may be named either. Only with "uninstall-key". Absent: the
// installation makes its uninstaller from its own image and the record.
inline constexpr char kUninstallerKey[] = "uninstaller";
inline constexpr char kCarriedUninstaller[] = "carried";
// The data's method, dictionary and layout (LZMA, above).
inline constexpr char kCompressionKey[] = "compression";
inline constexpr char kLzmaCompression[] = "lzma";
inline constexpr char kDictionaryKey[] = "dictionary";
inline constexpr char kLayoutKey[] = "layout";
inline constexpr char kSolidLayout[] = "solid";
} // namespace extension_block

} // namespace archive_format

// Bits of the options word.
inline constexpr std::uint32_t kCompressFiles = 0x2;
inline constexpr std::uint32_t kDefaultOptions = 0x01FF0002;

// The archive error codes.
enum class ZorInstallerError : int {
    Success = 0,
    CannotGetFileInfo = 1,
    CannotOpenFile = 2,
    NoAutoExtract = 3,
    BadSignature = 4,
    BadToc = 5,
    BadDataList = 6,
    MemoryAllocation = 7,
    VersionNotSupported = 8,
    CannotCreateDirectory = 9,
    CannotExtractFile = 10,
    // Codes of the builder's own checks, beyond the original ten.
    FileChanged = 11,          // a source file changed while it was archived
    InstallerTooLarge = 12,    // the installer would reach 4 GiB
    CannotCompressFile = 13,   // the codec refused a piece of a file
    CannotWriteInstaller = 14, // the finished installer could not take its place
    ExtensionBlock = 15,       // the extension block is damaged or says something invalid
};

// "ErrorZorInstaller: ..." for each code, "ErrorZorInstaller (%d)" for others.
std::string ZorInstallerErrorText(int code);
inline std::string ZorInstallerErrorText(ZorInstallerError code) {
    return ZorInstallerErrorText(static_cast<int>(code));
}

// One file of the archive: the fields of its TOC record. While building, name
// holds the source path as given and storedName the name its record gets; in
// a loaded archive, name is the stored name and storedName stays empty.
struct ArchiveEntry {
    char type = archive_format::kEntryType;
    std::uint8_t md5[kMd5DigestSize] = {};
    std::uint8_t coding = 0; // kBranchFilterCoding
    std::uint32_t nameLength = 0;
    FileTime creationTime;
    FileTime lastAccessTime;
    FileTime lastWriteTime;
    std::uint32_t dataOffset = 0;
    std::uint32_t originalSize = 0;
    std::uint32_t storedSize = 0;
    std::string name;
    std::string storedName;
};

// The name entry's record has (or gets, while building).
inline const std::string& StoredNameOf(const ArchiveEntry& entry) {
    return entry.storedName.empty() ? entry.name : entry.storedName;
}

// The four strings the tailer points to, in their order there and on disk.
enum class ArchiveString { WindowList, AppName, Version, ShortcutName };
inline constexpr int kArchiveStringCount = 4;

// The tailer's fields after its signature and format version.
struct ArchiveTailer {
    std::uint32_t formatVersion = archive_format::kFormatVersion;
    std::uint32_t options = 0;
    std::uint32_t entryCount = 0;
    std::uint32_t tocOffset = 0;
    std::uint32_t stringOffset[kArchiveStringCount] = {};
    std::uint32_t stringLength[kArchiveStringCount] = {};
};

// The 64 tailer bytes, signature and format version included.
void StoreTailer(const ArchiveTailer& tailer, std::uint8_t bytes[archive_format::kTailerSize]);
// Success, BadSignature or VersionNotSupported; tailer is filled on Success.
ZorInstallerError ParseTailer(const std::uint8_t bytes[archive_format::kTailerSize], ArchiveTailer& tailer);

// A record's 60 header bytes: entry's fields with the data offset and name
// length given (the builder's list holds other values for both).
void StoreRecordHeader(const ArchiveEntry& entry, std::uint32_t dataOffset, std::uint32_t nameLength,
                       std::uint8_t bytes[archive_format::kRecordHeaderSize]);
// Every field of entry but its name, from a record's header bytes.
void ParseRecordHeader(const std::uint8_t bytes[archive_format::kRecordHeaderSize], ArchiveEntry& entry);
