// Names of archive entries: plain file names that the installer creates in
// its installation directory, on Windows, whatever platform built the
// archive. The builder and the extractor apply the same rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest entry name, in bytes: Windows takes at most 255 characters for
// one name, and the installer's path buffers hold bytes.
inline constexpr std::size_t kMaxEntryNameBytes = 255;

// Empty when name is an acceptable entry name; otherwise why it is not, as
// the end of a sentence ("contains ':'", "is a device name", ...). The rules:
// not empty, "." or ".."; well-formed UTF-8; at most kMaxEntryNameBytes; no
// control character and none of \ / : < > " | ? *; no dot or space at the end
// (Windows would drop it and create another name); not a device name (CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9, in any case,
// alone or before an extension, blanks before the extension ignored). An
// installer is hostile input: anything else is refused.
std::string EntryNameProblem(std::string_view name);
inline bool IsPlainFileName(std::string_view name) { return EntryNameProblem(name).empty(); }

// A key under which two entry names are equal exactly when Windows would
// take them for the same file: letter case is ignored (FoldCaseUtf8).
std::string EntryNameKey(std::string_view name);

// The file-name part of a source path as the builder stores it: after the
// last separator of the platform ("\" and "/" on Windows, "/" elsewhere).
std::string StoredFileName(const std::string& sourcePath);
