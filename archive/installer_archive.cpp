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

std::string InstallerArchive::GetErrorText() const { return ZorInstallerErrorText(failure_.code); }

std::uint64_t InstallerArchive::GetTotalOriginalSize() const {
    std::uint64_t total = 0;
    for (const ArchiveEntry& entry : entries_) total += entry.originalSize;
    return total;
}

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

bool InstallerArchive::Fail(ZorInstallerError code) {
    failure_.code = code;
    failure_.line.clear();
    failure_.cause.clear();
    failure_.entry.clear();
    entryFailed_ = false;
    return false;
}

bool InstallerArchive::Fail(ZorInstallerError code, std::string* error, const char* format, ...) {
    va_list args;
    va_start(args, format);
    failure_.line = StringFormatV(format, args);
    va_end(args);
    failure_.code = code;
    if (!entryFailed_) {
        failure_.cause.clear();
        failure_.entry.clear();
    }
    entryFailed_ = false;
    Report(failure_.line);
    if (error) *error = failure_.line;
    return false;
}

bool InstallerArchive::EntryFailed(const ArchiveEntry& entry, ZorInstallerError code, const char* format, ...) {
    va_list args;
    va_start(args, format);
    failure_.cause = StringFormatV(format, args);
    va_end(args);
    failure_.code = code;
    failure_.line.clear();
    failure_.entry = StoredNameOf(entry);
    entryFailed_ = true;
    Report(failure_.cause);
    return false;
}
