// Names of archive entries as files in the installation directory.
#pragma once

#include <string>

// True when name is a plain file name that stays inside the directory it is
// extracted to: not empty, not "." or "..", without "\", "/", ":", control
// characters or the other characters Windows file names cannot hold, and not
// a reserved device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or
// without extension). An installer is hostile input: anything else is refused.
bool IsPlainFileName(const std::string& name);

// The file-name part of a source path as the builder stores it: after the
// last separator of the platform ("\" and "/" on Windows, "/" elsewhere).
std::string StoredFileName(const std::string& sourcePath);
