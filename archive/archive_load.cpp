// Reading an installer file: the tailer found from the end of the file, the
// TOC and the four strings it points to (layout in archive_format.h). Every
// offset and length comes from a file an attacker may have written: each is
// checked against the file's length before it is used, and nothing is
// allocated beyond what the file can actually hold.
#include "archive/installer_archive.h"

#include "common/error_texts.h"
#include "common/file.h"
#include "common/little_endian.h"

#include <algorithm>
#include <cstring>

using namespace archive_format;

namespace {

struct Tailer {
    std::uint32_t options, entryCount, tocOffset;
    std::uint32_t stringOffset[4], stringLength[4]; // window list, name, version, shortcut
};

Tailer ParseTailer(const std::uint8_t* bytes) {
    Tailer tailer{};
    tailer.options = LoadLittleEndian32(bytes + 20);
    tailer.entryCount = LoadLittleEndian32(bytes + 24);
    tailer.tocOffset = LoadLittleEndian32(bytes + 28);
    for (int i = 0; i < 4; ++i) {
        tailer.stringOffset[i] = LoadLittleEndian32(bytes + 32 + 8 * i);
        tailer.stringLength[i] = LoadLittleEndian32(bytes + 36 + 8 * i);
    }
    return tailer;
}

FileTime LoadFileTime(const std::uint8_t* bytes) { return {LoadLittleEndian32(bytes), LoadLittleEndian32(bytes + 4)}; }

struct StringField {
    const char* progress;
    const char* failure;
    std::string InstallerArchive::*value;
};

} // namespace

bool InstallerArchive::LoadInstaller(std::string* error) {
    entries_.clear();
    cursor_ = 0;
    ReportFormat("Loading Installer file '%s'...", filePath_.c_str());

    CFile file;
    if (!file.OpenForReading(filePath_, FileShare::DenyNone)) {
        errorCode_ = ZorInstallerError::CannotOpenFile;
        const std::string line =
            StringFormat("!Error LoadInstaller: OpenFile(%s) error %s", filePath_.c_str(), LastErrorText());
        Report(line);
        if (error) *error = line;
        return false;
    }

    const std::uint64_t length = file.GetLength();
    std::uint8_t bytes[kTailerSize];
    if (length < kTailerSize) {
        errorCode_ = ZorInstallerError::BadSignature;
        return false;
    }
    file.Seek(static_cast<std::int64_t>(length - kTailerSize), SeekOrigin::Begin);
    if (file.Read(bytes, kTailerSize) != kTailerSize || std::memcmp(bytes, kSignature, kSignatureCompared) != 0) {
        errorCode_ = ZorInstallerError::BadSignature;
        return false;
    }
    if (LoadLittleEndian32(bytes + 16) != kFormatVersion) {
        errorCode_ = ZorInstallerError::VersionNotSupported;
        return false;
    }
    const Tailer tailer = ParseTailer(bytes);
    options_ = tailer.options;

    Report("Reading TOC...");
    if (!ReadToc(file, tailer.tocOffset, tailer.entryCount)) {
        ReportFormat("!Error LoadInstaller: %s TOC error %s", filePath_.c_str(), GetErrorText().c_str());
        return false;
    }

    static const StringField kFields[] = {
        {"Reading window list...", "!Error LoadInstaller: %s Window list error %s", &InstallerArchive::windowList_},
        {"Reading Application name...", "!Error LoadInstaller: %s Application name error %s",
         &InstallerArchive::appName_},
        {"Reading Application version...", "!Error LoadInstaller: %s Application version error %s",
         &InstallerArchive::version_},
        {"Reading Shortcut name...", "!Error LoadInstaller: %s Shortcut name error %s",
         &InstallerArchive::shortcutName_},
    };
    for (int i = 0; i < 4; ++i) {
        Report(kFields[i].progress);
        if (!ReadString(file, tailer.stringOffset[i], tailer.stringLength[i], this->*kFields[i].value)) {
            ReportFormat(kFields[i].failure, filePath_.c_str(), GetErrorText().c_str());
            return false;
        }
    }
    return true;
}

// Entries are kept only once their whole record has been read, so a huge
// entry count in a small file costs no memory: the reads fail first.
bool InstallerArchive::ReadToc(CFile& file, std::uint32_t tocOffset, std::uint32_t entryCount) {
    if (tocOffset > file.GetLength()) {
        errorCode_ = ZorInstallerError::BadToc;
        return false;
    }
    file.Seek(tocOffset, SeekOrigin::Begin);
    for (std::uint32_t i = 0; i < entryCount; ++i) {
        std::uint8_t header[kRecordHeaderSize];
        char name[kMaxNameLength + 1] = {};
        ArchiveEntry entry;
        // A longer name than any writer stores is damage, not a name to cut.
        bool ok = file.Read(header, sizeof header) == sizeof header && header[0] == kEntryType;
        if (ok) {
            entry.nameLength = LoadLittleEndian32(header + 20);
            ok = entry.nameLength <= kMaxNameLength && file.Read(name, entry.nameLength) == entry.nameLength;
        }
        if (!ok) {
            errorCode_ = ZorInstallerError::BadToc;
            return false;
        }
        entry.type = static_cast<char>(header[0]);
        std::memcpy(entry.md5, header + 1, kMd5DigestSize);
        entry.creationTime = LoadFileTime(header + 24);
        entry.lastAccessTime = LoadFileTime(header + 32);
        entry.lastWriteTime = LoadFileTime(header + 40);
        entry.dataOffset = LoadLittleEndian32(header + 48);
        entry.originalSize = LoadLittleEndian32(header + 52);
        entry.storedSize = LoadLittleEndian32(header + 56);
        entry.name.assign(name, strnlen(name, entry.nameLength));
        entries_.push_back(std::move(entry));
    }
    return true;
}

// A string field whose offset lies beyond the end of the file is damage
// (reported as a bad TOC: the tailer's table of the strings points nowhere);
// a length that runs past the end yields the bytes that are there.
bool InstallerArchive::ReadString(CFile& file, std::uint32_t offset, std::uint32_t length, std::string& value) {
    const std::uint64_t fileLength = file.GetLength();
    if (offset > fileLength) {
        errorCode_ = ZorInstallerError::BadToc;
        return false;
    }
    file.Seek(offset, SeekOrigin::Begin);
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(length, fileLength - offset)), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    value.assign(bytes.c_str());
    return true;
}
