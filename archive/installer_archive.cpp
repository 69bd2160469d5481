#include "archive/installer_archive.h"

#include "archive/entry_name.h"
#include "archive/installation_names.h"
#include "common/buffered_file.h"

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

bool InstallerArchive::CarriesUninstaller() const {
    using namespace archive_format::extension_block;
    return GetExtension(kUninstallerKey) == kCarriedUninstaller;
}

std::string InstallerArchive::UninstallerProblem() const {
    using namespace archive_format::extension_block;
    const bool carried = CarriesUninstaller();
    if (GetExtension(kUninstallKeyKey).empty())
        return carried ? StringFormat("names a carried uninstaller ('%s') but no uninstall key ('%s')", kUninstallerKey,
                                      kUninstallKeyKey)
                       : "";
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string& stored = StoredNameOf(entries_[i]);
        const bool isTheCarried = carried && i + 1 == entries_.size();
        if (IsUninstallerEntry(stored) ? !isTheCarried : carried && IsUninstallRecordEntry(stored))
            return StringFormat("names an uninstaller ('%s'), which the installation writes over the entry '%s'",
                                kUninstallKeyKey, stored.c_str());
    }
    if (carried && (entries_.size() < 2 || !IsUninstallerEntry(StoredNameOf(entries_.back()))))
        return StringFormat("names a carried uninstaller ('%s'), but its last entry is not '%s' after the "
                            "application's",
                            kUninstallerKey, kUninstallerFileName);
    return {};
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

bool InstallerArchive::FileFailedUnder(const BufferedReader& reader) {
    if (!fileFailure_ && reader.Failure()) fileFailure_ = *reader.Failure();
    return fileFailure_.has_value();
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
