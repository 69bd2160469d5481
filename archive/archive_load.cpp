// Reading an installer file: the tailer found from the end of the file, the
// TOC and the four strings it points to (layout in archive_format.h). Every
// offset and length comes from a file an attacker may have written: each is
// checked against the file's length before it is used, and nothing is
// allocated beyond what the file can actually hold.
#include "archive/installer_archive.h"

#include "common/buffered_file.h"
#include "common/error_texts.h"
#include "common/file.h"

#include <algorithm>
#include <cstring>

using namespace archive_format;

namespace {

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

    // The TOC is many small records: one buffer serves them all.
    BufferedReader reader(file);
    const std::uint64_t length = reader.Length();
    std::uint8_t bytes[kTailerSize];
    if (length < kTailerSize) {
        errorCode_ = ZorInstallerError::BadSignature;
        return false;
    }
    reader.Seek(length - kTailerSize);
    ArchiveTailer tailer;
    const ZorInstallerError tailerCheck =
        reader.Read(bytes, kTailerSize) == kTailerSize ? ParseTailer(bytes, tailer) : ZorInstallerError::BadSignature;
    if (tailerCheck != ZorInstallerError::Success) {
        errorCode_ = tailerCheck;
        return false;
    }
    options_ = tailer.options;

    Report("Reading TOC...");
    if (!ReadToc(reader, tailer.tocOffset, tailer.entryCount)) {
        ReportFormat("!Error LoadInstaller: %s TOC error %s", filePath_.c_str(), GetErrorText().c_str());
        return false;
    }

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
        if (!ReadString(reader, tailer.stringOffset[i], tailer.stringLength[i], this->*kFields[i].value)) {
            ReportFormat(kFields[i].failure, filePath_.c_str(), GetErrorText().c_str());
            return false;
        }
    }
    return true;
}

// Entries are kept only once their whole record has been read, so a huge
// entry count in a small file costs no memory: the reads fail first.
bool InstallerArchive::ReadToc(BufferedReader& file, std::uint32_t tocOffset, std::uint32_t entryCount) {
    if (tocOffset > file.Length()) {
        errorCode_ = ZorInstallerError::BadToc;
        return false;
    }
    file.Seek(tocOffset);
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
        if (!ok) {
            errorCode_ = ZorInstallerError::BadToc;
            return false;
        }
        entry.name.assign(name, strnlen(name, entry.nameLength));
        entries_.push_back(std::move(entry));
    }
    return true;
}

// A string field whose offset lies beyond the end of the file is damage
// (reported as a bad TOC: the tailer's table of the strings points nowhere);
// a length that runs past the end yields the bytes that are there.
bool InstallerArchive::ReadString(BufferedReader& file, std::uint32_t offset, std::uint32_t length,
                                  std::string& value) {
    const std::uint64_t fileLength = file.Length();
    if (offset > fileLength) {
        errorCode_ = ZorInstallerError::BadToc;
        return false;
    }
    file.Seek(offset);
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(length, fileLength - offset)), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    value.assign(bytes.c_str());
    return true;
}
