// The uninstaller as a file: a program whose content ends with an uninstall
// record, or with the marker of a carried uninstaller whose record is the
// file uninstall.dat beside it (uninstall_record.h). Read from the end
// without loading the rest.
#pragma once

#include "common/file.h"
#include "uninstall/uninstall_record.h"

#include <optional>
#include <string>

// True when the content of the file at path (before a signature) ends with
// an uninstall record's trailer or the carried uninstaller's marker: the
// stub's way to tell an uninstaller from an installer. A file that cannot be
// read is none; when it could be opened, readFailure (if given) receives the
// file layer's failure.
bool IsUninstallerFile(const std::string& path, std::optional<FileFailure>* readFailure = nullptr);

// True when the file at path is a carried uninstaller: its record is beside it.
bool IsCarriedUninstallerFile(const std::string& path);

// Reads the record of the uninstaller at path: the one at its end, or for a
// carried uninstaller the one in uninstall.dat in its folder. Empty when it
// is sound; otherwise why not, as the end of a sentence ("cannot be read",
// "is not an uninstaller ...", "is damaged ...", "has its record in '...',
// which ..."), and record is left empty. Reads only the trailer and the body
// it claims, at most the record's size limit. A failure of the file layer
// is "cannot be read".
std::string ReadUninstallerRecord(const std::string& path, UninstallRecord& record);

// Reads uninstall.dat at path, which must hold one record and nothing else.
// Empty when it is sound; otherwise why not, as ReadUninstallerRecord says it.
std::string ReadUninstallRecordFile(const std::string& path, UninstallRecord& record);
