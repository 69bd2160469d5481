// The extraction's progress as the user sees it: while the archive extracts,
// its progress lines still reach the installation message list, and the
// user interface's progress window names the file being extracted and the
// bytes done.
#pragma once

#include "app/installer_system.h"
#include "app/installer_ui.h"
#include "archive/installer_archive.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Takes over the archive's callbacks for its lifetime. The window is shown
// at the first entry and then at most once every kRepaintInterval: each
// update repaints it, which costs more than extracting a small file, so a
// window updated per file or per percent would make the installation
// several times slower than the extraction itself.
class ExtractionProgress {
public:
    static constexpr std::uint64_t kRepaintInterval = 100; // milliseconds: 10 updates a second

    ExtractionProgress(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive);
    // Closes the window (before any result is shown) and gives the archive its
    // usual callbacks back.
    ~ExtractionProgress();
    ExtractionProgress(const ExtractionProgress&) = delete;
    ExtractionProgress& operator=(const ExtractionProgress&) = delete;

private:
    static void OnEntry(std::size_t entryIndex, std::uintptr_t userWord);
    static void OnBytes(std::uint64_t entryBytesWritten, std::uintptr_t userWord);
    void Show(std::uint64_t doneBytes);

    InstallerUi& ui_;
    InstallerSystem& system_;
    InstallerArchive& archive_;
    const std::string caption_;
    std::uint64_t totalBytes_ = 0;
    std::uint64_t entryStart_ = 0; // bytes of the entries before the current one
    const ArchiveEntry* current_ = nullptr;
    bool shown_ = false;
    std::uint64_t lastShown_ = 0;
};
