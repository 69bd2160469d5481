// The archive's progress lines on their way to the user: every line with -v;
// otherwise, on a terminal, one line that rewrites itself with the current
// step; otherwise nothing. A failure is explained by the archive's own
// record (InstallerArchive::LastFailure), not by these lines.
#pragma once

#include "tools/zorpack/console.h"

#include <cstddef>
#include <cstdint>
#include <string>

class InstallerArchive;

namespace zorpack {

class ProgressReporter {
public:
    ProgressReporter(Console& console, bool verbose);
    ~ProgressReporter();
    ProgressReporter(const ProgressReporter&) = delete;
    ProgressReporter& operator=(const ProgressReporter&) = delete;

    // Makes this object the archive's progress and entry callbacks.
    void Attach(InstallerArchive& archive);
    // Starts counting a pass over entries files: the live line shows which
    // one the archive is on.
    void CountEntries(std::size_t entries);
    // Clears the live line; call before writing anything else to out.
    void Finish();

private:
    static void OnLine(const char* text, std::uintptr_t self);
    static void OnEntry(std::size_t index, std::uintptr_t self);
    void Line(const char* text);

    Console& console_;
    bool verbose_;
    bool live_;
    std::size_t entries_ = 0;
    std::size_t entriesSeen_ = 0;
    std::size_t liveWidth_ = 0;
};

} // namespace zorpack
