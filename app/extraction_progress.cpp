#include "app/extraction_progress.h"

#include "app/installation_messages.h"
#include "common/string_format.h"

ExtractionProgress::ExtractionProgress(InstallerUi& ui, InstallerSystem& system, InstallerArchive& archive)
    : ui_(ui), system_(system), archive_(archive),
      caption_(StringFormat("Installing %s", archive.GetAppName().c_str())),
      totalBytes_(archive.GetTotalOriginalSize()) {
    const auto self = reinterpret_cast<std::uintptr_t>(this);
    archive_.SetProgressCallback(InstallationProgress, 0);
    archive_.SetEntryCallback(&ExtractionProgress::OnEntry, self);
    archive_.SetByteProgressCallback(&ExtractionProgress::OnBytes, self);
}

ExtractionProgress::~ExtractionProgress() {
    ui_.CloseProgress();
    archive_.SetEntryCallback(nullptr, 0);
    archive_.SetByteProgressCallback(nullptr, 0);
}

void ExtractionProgress::OnEntry(std::size_t entryIndex, std::uintptr_t userWord) {
    auto* progress = reinterpret_cast<ExtractionProgress*>(userWord);
    const std::vector<ArchiveEntry>& entries = progress->archive_.GetEntries();
    if (entryIndex >= entries.size()) return;
    if (progress->current_ != nullptr) progress->entryStart_ += progress->current_->originalSize;
    progress->current_ = &entries[entryIndex];
    progress->Show(progress->entryStart_);
}

void ExtractionProgress::OnBytes(std::uint64_t entryBytesWritten, std::uintptr_t userWord) {
    auto* progress = reinterpret_cast<ExtractionProgress*>(userWord);
    if (progress->current_ != nullptr) progress->Show(progress->entryStart_ + entryBytesWritten);
}

void ExtractionProgress::Show(std::uint64_t doneBytes) {
    const std::uint64_t now = system_.Milliseconds();
    if (shown_ && now - lastShown_ < kRepaintInterval) return;
    shown_ = true;
    lastShown_ = now;
    ui_.ShowProgress(caption_, current_->name, doneBytes, totalBytes_);
}
