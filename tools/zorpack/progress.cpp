#include "tools/zorpack/progress.h"

#include "archive/installer_archive.h"
#include "common/string_format.h"

namespace zorpack {

namespace {

// Keeps the live line within a classic 80-column terminal.
constexpr std::size_t kLiveWidth = 79;

} // namespace

ProgressReporter::ProgressReporter(Console& console, bool verbose)
    : console_(console), verbose_(verbose), live_(!verbose && console.interactive) {}

ProgressReporter::~ProgressReporter() { Finish(); }

void ProgressReporter::Attach(InstallerArchive& archive) {
    archive.SetProgressCallback(&ProgressReporter::OnLine, reinterpret_cast<std::uintptr_t>(this));
    archive.SetEntryCallback(&ProgressReporter::OnEntry, reinterpret_cast<std::uintptr_t>(this));
}

void ProgressReporter::CountEntries(std::size_t entries) {
    entries_ = entries;
    entriesSeen_ = 0;
}

void ProgressReporter::OnLine(const char* text, std::uintptr_t self) {
    reinterpret_cast<ProgressReporter*>(self)->Line(text);
}

void ProgressReporter::OnEntry(std::size_t index, std::uintptr_t self) {
    reinterpret_cast<ProgressReporter*>(self)->entriesSeen_ = index + 1;
}

void ProgressReporter::Line(const char* text) {
    if (verbose_) {
        console_.out << text << '\n';
        return;
    }
    if (!live_) return;
    std::string shown = entries_ == 0 ? std::string(text) : StringFormat("[%zu/%zu] %s", entriesSeen_, entries_, text);
    // Only the first line of a multi-line text, cut to the width.
    shown = shown.substr(0, shown.find('\n'));
    if (shown.size() > kLiveWidth) shown = shown.substr(0, kLiveWidth - 3) + "...";
    const std::size_t width = shown.size();
    if (width < liveWidth_) shown.append(liveWidth_ - width, ' ');
    liveWidth_ = width;
    console_.out << '\r' << shown << std::flush;
}

void ProgressReporter::Finish() {
    if (liveWidth_ == 0) return;
    console_.out << '\r' << std::string(liveWidth_, ' ') << '\r' << std::flush;
    liveWidth_ = 0;
}

} // namespace zorpack
