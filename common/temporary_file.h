// Files the system makes for its own use: each is created new (never through
// a link planted at its name), readable by its owner only on POSIX, under a
// name nobody can guess, and removed on every path: when its owner is
// destroyed (success, failure or exception alike) and, in programs that ask
// for it, when the process is interrupted (interrupt_cleanup.h). The one way
// to keep one is to rename it over its final name (CommitAs).
#pragma once

#include "common/file.h"

#include <string>

class TemporaryFile {
public:
    TemporaryFile() = default;
    // Removes the file unless CommitAs has given it away.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates the file in directory (the system's temporary directory when
    // empty), named prefix, twelve random letters or digits, and suffix; it
    // is open for reading and writing. A name already taken is drawn again.
    // False with the last error set when no file could be made.
    bool Create(const std::string& directory, const std::string& prefix, const std::string& suffix = ".tmp");

    // Makes no file: draws a name as Create does at which nothing is yet,
    // for another program to write the file (one that will not write over
    // an existing file). Whatever is at the name is then removed as Create's
    // file is. False with the last error set when no name could be drawn.
    bool ReserveName(const std::string& directory, const std::string& prefix, const std::string& suffix = ".tmp");

    bool IsCreated() const { return !path_.empty(); }
    CFile& File() { return file_; }
    // Empty before Create and after the file was removed or committed.
    const std::string& Path() const { return path_; }

    // Closes the file, gives it the permissions of a file made by
    // CFile::Create (a file another program wrote at a reserved name keeps
    // the ones it was given) and renames it over target (replacing any file there, in
    // one step). On success the file is target's own and no longer
    // temporary; on failure it stays temporary and the last error says why.
    bool CommitAs(const std::string& target);

    // Closes and deletes the file now.
    void Remove();

private:
    CFile file_;
    std::string path_;
    int interruptSlot_ = -1;
};
