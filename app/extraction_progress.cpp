#include "app/extraction_progress.h"

#include "app/installation_messages.h"
#include "common/string_format.h"

#include <algorithm>
#include <cstring>

namespace {

// Updates within a file are shown per percent: each one repaints the window,
// which costs more than extracting a few kilobytes.
constexpr std::uint64_t kSteps = 100;

constexpr char kEntryLine[] = "Extracting file '";

} // namespace

ExtractionProgress::ExtractionProgress(InstallerHost& host, InstallerArchive& archive)
    : host_(host), archive_(archive), caption_(StringFormat("Installing %s", archive.GetAppName().c_str())),
      shownStep_(kSteps + 1) {
    for (const ArchiveEntry& entry : archive.GetEntries()) totalBytes_ += entry.originalSize;
    const auto self = reinterpret_cast<std::uintptr_t>(this);
    archive_.SetProgressCallback(&ExtractionProgress::OnLine, self);
    archive_.SetByteProgressCallback(&ExtractionProgress::OnBytes, self);
}

ExtractionProgress::~ExtractionProgress() {
    host_.CloseProgress();
    archive_.SetProgressCallback(InstallationProgress, 0);
    archive_.SetByteProgressCallback(nullptr, 0);
}

void ExtractionProgress::OnLine(const char* text, std::uintptr_t userWord) {
    InstallationProgress(text, 0);
    auto* progress = reinterpret_cast<ExtractionProgress*>(userWord);
    if (text != nullptr && std::strncmp(text, kEntryLine, sizeof kEntryLine - 1) == 0) progress->NextEntry();
}

void ExtractionProgress::OnBytes(std::uint64_t entryBytesWritten, std::uintptr_t userWord) {
    auto* progress = reinterpret_cast<ExtractionProgress*>(userWord);
    if (progress->current_ != nullptr) progress->Show(progress->entryStart_ + entryBytesWritten, false);
}

void ExtractionProgress::NextEntry() {
    const std::vector<ArchiveEntry>& entries = archive_.GetEntries();
    if (current_ != nullptr) entryStart_ += current_->originalSize;
    current_ = next_ < entries.size() ? &entries[next_++] : nullptr;
    if (current_ != nullptr) Show(entryStart_, true);
}

void ExtractionProgress::Show(std::uint64_t doneBytes, bool newFile) {
    const std::uint64_t step = totalBytes_ == 0 ? kSteps : std::min(doneBytes, totalBytes_) * kSteps / totalBytes_;
    if (!newFile && step == shownStep_) return;
    shownStep_ = step;
    host_.ShowProgress(caption_, current_->name, doneBytes, totalBytes_);
}
