#include "archive/installer_archive.h"

#include "archive/entry_name.h"

#include "common/string_format.h"

#include <cstdarg>

InstallerArchive::InstallerArchive() = default;
InstallerArchive::~InstallerArchive() = default;

void InstallerArchive::SetProgressCallback(ProgressCallback callback, std::uintptr_t userWord) {
    callback_ = callback;
    userWord_ = userWord;
}

std::string InstallerArchive::GetErrorText() const { return ZorInstallerErrorText(static_cast<int>(failure_.code)); }

std::string InstallerArchive::GetFirstFileName() {
    cursor_ = 0;
    if (entries_.empty()) return "[Error]";
    return entries_[cursor_++].name;
}

std::string InstallerArchive::GetNextFileName() {
    if (cursor_ >= entries_.size()) return {};
    return entries_[cursor_++].name;
}

std::string InstallerArchive::GetExtension(const std::string& key) const {
    for (const ExtensionPair& pair : extensions_)
        if (pair.key == key) return pair.value;
    return {};
}

const std::string* InstallerArchive::FindUninstallerClash() const {
    if (GetExtension(archive_format::extension_block::kUninstallKeyKey).empty()) return nullptr;
    for (const ArchiveEntry& entry : entries_) {
        const std::string& stored = StoredNameOf(entry);
        if (IsUninstallerEntry(stored)) return &stored;
    }
    return nullptr;
}

void InstallerArchive::SetExtractorImage(std::vector<std::uint8_t> image) {
    extractorImage_ = std::move(image);
    hasExtractorImage_ = true;
}

void InstallerArchive::Report(const std::string& line) const {
    if (callback_) callback_(line.c_str(), userWord_);
}

void InstallerArchive::ReportFormat(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    const std::string line = StringFormatV(format, args);
    va_end(args);
    Report(line);
}

bool InstallerArchive::Fail(ZorInstallerError code, const std::string& line, std::string* error) {
    failure_ = {code, line, std::move(entryFailure_.cause), std::move(entryFailure_.entry)};
    entryFailure_ = {};
    if (!line.empty()) Report(line);
    if (error) *error = line;
    return false;
}

bool InstallerArchive::FailFormat(ZorInstallerError code, std::string* error, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = StringFormatV(format, args);
    va_end(args);
    return Fail(code, line, error);
}

bool InstallerArchive::EntryFailed(const ArchiveEntry& entry, ZorInstallerError code, const std::string& line) {
    entryFailure_ = {code, {}, line, StoredNameOf(entry)};
    Report(line);
    return false;
}

bool InstallerArchive::EntryFailedFormat(const ArchiveEntry& entry, ZorInstallerError code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string line = StringFormatV(format, args);
    va_end(args);
    return EntryFailed(entry, code, line);
}
