// Names of archive entries: the relative paths of the files that the
// installer creates in its installation directory, on Windows, whatever
// platform built the archive. A name is one file name ("App.exe") or folder
// names and a file name joined by "\" ("bin\App.exe"). The builder and the
// extractor apply the same rules.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest entry name, in bytes, whether one file name or a whole relative
// path: Windows takes at most 255 characters for one name, and the
// installer's path buffers hold bytes. (A TOC record has room for 260.)
inline constexpr std::size_t kMaxEntryNameBytes = 255;

// What separates the components of a stored name, on every platform.
inline constexpr char kEntrySeparator = '\\';

// Empty when name is acceptable as one component of an entry name (a file or
// folder name); otherwise why it is not, as the end of a sentence ("contains ':'", "is a device name", ...). The rules:
// not empty, "." or ".."; well-formed UTF-8; at most kMaxEntryNameBytes; no
// control character and none of \ / : < > " | ? *; no dot or space at the end
// (Windows would drop it and create another name); not a device name (CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9, in any case,
// alone or before an extension, blanks before the extension ignored). An
// installer is hostile input: anything else is refused.
std::string EntryNameProblem(std::string_view name);
inline bool IsPlainFileName(std::string_view name) { return EntryNameProblem(name).empty(); }

// The same for a relative entry name: empty when it is at most
// kMaxEntryNameBytes long and each of its components between "\" is an
// acceptable entry name (EntryNameProblem); otherwise why not, as the end of
// a sentence. So no component is empty, "." or "..", a drive ("C:"), a device
// or holds "/": a name that passes stays inside the directory it is
// extracted to.
std::string EntryPathProblem(std::string_view name);
inline bool IsEntryPath(std::string_view name) { return EntryPathProblem(name).empty(); }

// The relative path on disk of a stored name: "\" becomes the platform's
// separator (nothing changes on Windows).
std::string NativeEntryPath(std::string_view name);

// A key under which two entry names are equal exactly when Windows would
// take them for the same file: letter case is ignored (FoldCaseUtf8).
std::string EntryNameKey(std::string_view name);

// True when name is kUninstallerFileName (installation_names.h), the file
// an installation with an uninstaller (an "uninstall-key" in the extension
// block) writes at the top of its directory, in any letter case: it would
// be replaced by the uninstaller, so an installer with one must not carry it.
// Below a folder ("bin\uninstall.exe") it is another file.
bool IsUninstallerEntry(std::string_view name);
// True when name is kUninstallRecordFileName in any letter case: the record
// a carried uninstaller keeps beside it.
bool IsUninstallRecordEntry(std::string_view name);

// The file-name part of a source path as the builder stores it: after the
// last separator of the platform ("\" and "/" on Windows, "/" elsewhere).
std::string StoredFileName(const std::string& sourcePath);
