// Layout of the installation archive appended to an installer executable.
// All integers are unsigned 32-bit little-endian; every offset is absolute,
// counted from the first byte of the installer file.
//
//   extractor image   the extractor executable, unchanged (length L)
//   data blocks       one per entry, in TOC order: a "!ZQM" file when the
//                     options word has kCompressFiles, else the file itself
//   TOC               per entry a 60-byte header, then the name with its NUL
//   4 strings         window list, application name, version, shortcut name,
//                     each with its NUL
//   tailer            64 bytes, always the last 64 bytes of the file
//
// Tailer:  0 signature "!ZorInstaller!" NUL NUL   16 format version 258
//         20 options   24 entry count   28 TOC offset
//         32/36 window list offset/length   40/44 application name
//         48/52 version   56/60 shortcut name (lengths count the NUL)
// Record:  0 type 'F'   1 MD5 of the content (16)   17 reserved (3)
//         20 name length with NUL (at most 261)   24/32/40 creation,
//         last-access, last-write FILETIME   48 data offset
//         52 original size   56 stored size   60 name
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
inline constexpr std::size_t kTailerSize = 64;
inline constexpr std::size_t kRecordHeaderSize = 60;
inline constexpr std::uint32_t kMaxNameLength = 261;
inline constexpr char kEntryType = 'F';
inline constexpr std::size_t kCopyPiece = 65536;

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
};

// "ErrorZorInstaller: ..." for each code, "ErrorZorInstaller (%d)" for others.
std::string ZorInstallerErrorText(int code);

// One file of the archive: the fields of its TOC record. While building, name
// holds the source path as given; in a loaded archive, the stored name.
struct ArchiveEntry {
    char type = archive_format::kEntryType;
    std::uint8_t md5[kMd5DigestSize] = {};
    std::uint32_t nameLength = 0;
    FileTime creationTime;
    FileTime lastAccessTime;
    FileTime lastWriteTime;
    std::uint32_t dataOffset = 0;
    std::uint32_t originalSize = 0;
    std::uint32_t storedSize = 0;
    std::string name;
};
