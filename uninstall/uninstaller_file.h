// The uninstaller as a file: a program whose last bytes are an uninstall
// record (uninstall_record.h), read from its end without loading the rest.
#pragma once

#include "uninstall/uninstall_record.h"

#include <string>

// True when the file at path ends with an uninstall record's trailer: the
// stub's way to tell an uninstaller from an installer.
bool IsUninstallerFile(const std::string& path);

// Reads the record at the end of the file at path. Empty when it is sound;
// otherwise why not, as the end of a sentence ("cannot be read", "is not an
// uninstaller ...", "is damaged ..."), and record is left empty. Reads only
// the trailer and the body it claims, at most the record's size limit.
// A read failure of the file layer raises FileException.
std::string ReadUninstallerRecord(const std::string& path, UninstallRecord& record);
