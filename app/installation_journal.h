// What one run of the installer adds to the system, so that a run that fails
// takes exactly that away again: the folders it made, the files it extracted
// where there was none, the links it created. What was there before stays,
// also when the run has replaced its content (that content is gone either
// way), so an installation being updated keeps every file its uninstall
// record lists, and a failed fresh installation leaves nothing but its log.
#pragma once

#include <string>
#include <vector>

class InstallerArchive;

class InstallationJournal {
public:
    // Before anything is written: notes which folders on the way to
    // directory and to each entry's destination in it are missing, and which
    // destinations are free. A directory that is missing holds nothing, so
    // only the entries of an existing one are looked up.
    void NoteStateBefore(const std::string& directory, const InstallerArchive& archive);
    // A link this run saved where there was none.
    void NoteLinkCreated(const std::string& linkPath) { links_.push_back(linkPath); }

    // Removes the links noted and the entries' files that were not there
    // before, then the folders that were missing, deepest first, as far as
    // they are empty; each removal is reported as a progress line.
    void Undo() const;

private:
    std::vector<std::string> newFiles_;   // destinations that were free
    std::vector<std::string> newFolders_; // folders that were missing, each before its parent
    std::vector<std::string> links_;
};
