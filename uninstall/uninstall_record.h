// The uninstall record: what one installation created. It is appended to a
// copy of the extractor image to make the uninstaller the installation leaves
// in its directory, or, when the installer carries an uninstaller image of
// its own (a signed one: below), written as the file uninstall.dat beside it. The uninstaller removes exactly what its
// record names, so the record is read as hostile input: every name is relative to a place the uninstaller resolves
// itself (its own directory, a shell folder, a fixed registry path), and a record that names anything else is refused
// whole.
//
// Layout (integers unsigned 32-bit little-endian), at the end of the file:
//
//   extractor image   as the installer's, unchanged
//   body              item count, then the items
//   trailer           40 bytes, the last of the file:
//                      0 magic "!ZorUninstall!" NUL NUL
//                     16 record version 1
//                     20 body length (at most kMaxBodySize)
//                     24 MD5 of the body (16)
//
// Item:  0 kind   4 number   8 text length   12 text (UTF-8, no NUL)
//   kind 1 application name, 2 version, 3 publisher: display texts
//   kind 4 scope: number 0 for all users, 1 for the current user
//   kind 5 uninstall key: the key's name below
//          Software\Microsoft\Windows\CurrentVersion\Uninstall
//   kind 6 App Paths name: the main executable's file name, whose App Paths
//          key the application may have registered
//   kind 7 file: a path relative to the installation directory
//   kind 8 shortcut: number is the shell folder (CSIDL), text the link's
//          path relative to it
//   kind 9 window list: the ";"-separated window titles of a running
//          instance, as the installer had them
//   kind 10 installation directory: the absolute path the files were
//          installed in. The uninstaller acts only from this directory; a
//          record without it (written before the item existed) is still
//          read, by an installation that updates it, but never acted on.
// Kinds 1, 4 and 5 come exactly once, 2, 3, 6, 9 and 10 at most once.
//
// The carried uninstaller: an image the builder makes once, so that the
// publisher can sign it, and which every installation copies unchanged.
//
//   extractor image   as the installer's, with its resources
//   marker            a trailer of record version 2 (kRecordBesideVersion),
//                     body length 0, digest field zero: "my record is the
//                     file uninstall.dat in my own folder"
//   (padding, signature)  as after an installer's archive (archive/
//                     signed_file_end.h); the marker is found before them
//
// uninstall.dat holds exactly one body and its version-1 trailer, nothing
// before them; a file with anything else is refused whole, as a damaged
// record is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace uninstall_format {
inline constexpr char kMagic[16] = "!ZorUninstall!";
inline constexpr std::uint32_t kVersion = 1;
inline constexpr std::uint32_t kRecordBesideVersion = 2;
inline constexpr std::size_t kTrailerSize = 40;
inline constexpr std::size_t kItemHeaderSize = 12;
inline constexpr std::size_t kMaxBodySize = 4u << 20;
} // namespace uninstall_format

struct UninstallShortcut {
    int folder = 0;   // the shell folder (CSIDL)
    std::string path; // below it, "\" between components, ending in ".lnk"

    bool operator==(const UninstallShortcut&) const = default;
};

struct UninstallRecord {
    std::string appName;
    std::string version;
    std::string publisher;
    bool perUser = false;
    std::string uninstallKey;
    std::string appPathsName; // empty: none
    std::vector<std::string> files;
    std::vector<UninstallShortcut> shortcuts;
    std::string windowList;
    std::string directory; // the installation directory; empty: not recorded

    bool operator==(const UninstallRecord&) const = default;
};

// The shell folders a shortcut may be recorded in, and the subfolder a
// link below the folder must stay in (empty: any, the folder itself
// included). Quick-launch links live below the application data folder,
// which holds far more than links: only its quick-launch folder is allowed.
struct ShortcutFolderRule {
    int folder;
    const char* requiredFolder;
};
extern const ShortcutFolderRule kShortcutFolderRules[7];

// Empty when record can be written and read back: texts valid UTF-8 without
// control characters, an application name and an uninstall key (one valid
// name), a directory that is empty or absolute, file paths and link paths of valid components ("\" between them,
// no "." or ".." or empty one, no drive or root), links ending in ".lnk" in
// a folder of kShortcutFolderRules. Otherwise why not, as the end of a
// sentence ("has the file '..\x' ...").
std::string UninstallRecordProblem(const UninstallRecord& record);

// The body and trailer for record (which UninstallRecordProblem accepts).
std::string EncodeUninstallRecord(const UninstallRecord& record);

// Reads the record that ends the size bytes at file. Empty when it is sound;
// otherwise why not ("is not an uninstaller", "is damaged", "has ..."), and
// record is left empty. Nothing is allocated beyond what the bytes hold.
std::string ParseUninstallRecord(const std::uint8_t* file, std::size_t size, UninstallRecord& record);

// True when the size bytes at file end with an uninstall record's trailer
// magic: the stub's way to tell an uninstaller from an installer.
bool EndsWithUninstallRecord(const std::uint8_t* file, std::size_t size);

// The marker that ends a carried uninstaller's content.
std::string EncodeRecordBesideMarker();

// True when the kTrailerSize bytes at trailer are that marker exactly.
bool IsRecordBesideMarker(const std::uint8_t* trailer);
