// The tailer and the TOC records in bytes (layout in archive_format.h): the
// one place that knows where each field lies.
#include "archive/archive_format.h"

#include "common/little_endian.h"

#include <cstring>

using namespace archive_format;

namespace {

void StoreFileTime(const FileTime& time, std::uint8_t* bytes) {
    StoreLittleEndian32(time.lowDateTime, bytes);
    StoreLittleEndian32(time.highDateTime, bytes + 4);
}

FileTime LoadFileTime(const std::uint8_t* bytes) { return {LoadLittleEndian32(bytes), LoadLittleEndian32(bytes + 4)}; }

std::size_t StringPair(int index) { return tailer_field::kStrings + tailer_field::kStringPairSize * index; }

} // namespace

void StoreTailer(const ArchiveTailer& tailer, std::uint8_t bytes[kTailerSize]) {
    std::memset(bytes, 0, kTailerSize);
    std::memcpy(bytes + tailer_field::kSignature, kSignature, sizeof kSignature);
    StoreLittleEndian32(tailer.formatVersion, bytes + tailer_field::kFormatVersion);
    StoreLittleEndian32(tailer.options, bytes + tailer_field::kOptions);
    StoreLittleEndian32(tailer.entryCount, bytes + tailer_field::kEntryCount);
    StoreLittleEndian32(tailer.tocOffset, bytes + tailer_field::kTocOffset);
    for (int i = 0; i < kArchiveStringCount; ++i) {
        StoreLittleEndian32(tailer.stringOffset[i], bytes + StringPair(i));
        StoreLittleEndian32(tailer.stringLength[i], bytes + StringPair(i) + 4);
    }
}

ZorInstallerError ParseTailer(const std::uint8_t bytes[kTailerSize], ArchiveTailer& tailer) {
    if (std::memcmp(bytes + tailer_field::kSignature, kSignature, kSignatureCompared) != 0)
        return ZorInstallerError::BadSignature;
    tailer.formatVersion = LoadLittleEndian32(bytes + tailer_field::kFormatVersion);
    if (tailer.formatVersion != kFormatVersion && tailer.formatVersion != kLzmaFormatVersion)
        return ZorInstallerError::VersionNotSupported;
    tailer.options = LoadLittleEndian32(bytes + tailer_field::kOptions);
    tailer.entryCount = LoadLittleEndian32(bytes + tailer_field::kEntryCount);
    tailer.tocOffset = LoadLittleEndian32(bytes + tailer_field::kTocOffset);
    for (int i = 0; i < kArchiveStringCount; ++i) {
        tailer.stringOffset[i] = LoadLittleEndian32(bytes + StringPair(i));
        tailer.stringLength[i] = LoadLittleEndian32(bytes + StringPair(i) + 4);
    }
    return ZorInstallerError::Success;
}

void StoreRecordHeader(const ArchiveEntry& entry, std::uint32_t dataOffset, std::uint32_t nameLength,
                       std::uint8_t bytes[kRecordHeaderSize]) {
    std::memset(bytes, 0, kRecordHeaderSize);
    bytes[record_field::kType] = static_cast<std::uint8_t>(entry.type);
    std::memcpy(bytes + record_field::kMd5, entry.md5, kMd5DigestSize);
    bytes[record_field::kCoding] = entry.coding;
    StoreLittleEndian32(nameLength, bytes + record_field::kNameLength);
    StoreFileTime(entry.creationTime, bytes + record_field::kCreationTime);
    StoreFileTime(entry.lastAccessTime, bytes + record_field::kLastAccessTime);
    StoreFileTime(entry.lastWriteTime, bytes + record_field::kLastWriteTime);
    StoreLittleEndian32(dataOffset, bytes + record_field::kDataOffset);
    StoreLittleEndian32(entry.originalSize, bytes + record_field::kOriginalSize);
    StoreLittleEndian32(entry.storedSize, bytes + record_field::kStoredSize);
}

void ParseRecordHeader(const std::uint8_t bytes[kRecordHeaderSize], ArchiveEntry& entry) {
    entry.type = static_cast<char>(bytes[record_field::kType]);
    std::memcpy(entry.md5, bytes + record_field::kMd5, kMd5DigestSize);
    entry.coding = bytes[record_field::kCoding];
    entry.nameLength = LoadLittleEndian32(bytes + record_field::kNameLength);
    entry.creationTime = LoadFileTime(bytes + record_field::kCreationTime);
    entry.lastAccessTime = LoadFileTime(bytes + record_field::kLastAccessTime);
    entry.lastWriteTime = LoadFileTime(bytes + record_field::kLastWriteTime);
    entry.dataOffset = LoadLittleEndian32(bytes + record_field::kDataOffset);
    entry.originalSize = LoadLittleEndian32(bytes + record_field::kOriginalSize);
    entry.storedSize = LoadLittleEndian32(bytes + record_field::kStoredSize);
}
