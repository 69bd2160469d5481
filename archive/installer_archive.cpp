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

std::string InstallerArchive::GetErrorText() const { return ZorInstallerErrorText(static_cast<int>(errorCode_)); }

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
        // A loaded entry has its stored name in name, one being built in storedName.
        const std::string& stored = entry.storedName.empty() ? entry.name : entry.storedName;
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
