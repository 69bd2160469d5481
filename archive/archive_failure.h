// What the archive's last failed operation left for its caller: one record,
// filled where the failure line is reported.
#pragma once

#include "archive/archive_format.h"

#include <string>

struct ArchiveFailure {
    // Success until an operation fails; a later success leaves it as it is.
    ZorInstallerError code = ZorInstallerError::Success;
    // The line the operation ended with, as its progress callback and its
    // optional error string (where it fills one) received it. Empty for the
    // failures that report none (a file without an installer's tailer, an
    // entry AddFile refuses).
    std::string line;
    // For a failing entry: the entry's own line ("Bad MD5 sum for 'x'."),
    // reported just before line. Empty otherwise.
    std::string cause;
    // The stored name of that entry; empty when the failure is not an entry's.
    std::string entry;

    // What a user is told: the cause, then the line; the code's text when
    // no line was reported.
    std::string Explanation() const {
        if (line.empty()) return ZorInstallerErrorText(code);
        return cause.empty() ? line : cause + " " + line;
    }
};
