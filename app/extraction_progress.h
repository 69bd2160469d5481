// The extraction's progress as the user sees it: while the archive extracts,
// its progress lines still reach the installation message list, and the
// host's progress window names the file being extracted and the bytes done.
#pragma once

#include "app/installer_host.h"
#include "archive/installer_archive.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Takes over the archive's progress callbacks for its lifetime. Each entry's
// extraction starts with one "Extracting file" line, in the order of the
// archive's entries; the bytes written within an entry move the bar.
class ExtractionProgress {
public:
    ExtractionProgress(InstallerHost& host, InstallerArchive& archive);
    // Closes the window (before any result is shown) and gives the archive its
    // usual callbacks back.
    ~ExtractionProgress();
    ExtractionProgress(const ExtractionProgress&) = delete;
    ExtractionProgress& operator=(const ExtractionProgress&) = delete;

private:
    static void OnLine(const char* text, std::uintptr_t userWord);
    static void OnBytes(std::uint64_t entryBytesWritten, std::uintptr_t userWord);
    void NextEntry();
    void Show(std::uint64_t doneBytes, bool newFile);

    InstallerHost& host_;
    InstallerArchive& archive_;
    const std::string caption_;
    std::uint64_t totalBytes_ = 0;
    std::uint64_t entryStart_ = 0; // bytes of the entries before the current one
    const ArchiveEntry* current_ = nullptr;
    std::size_t next_ = 0;
    std::uint64_t shownStep_;
};
