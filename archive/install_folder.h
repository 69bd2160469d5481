// Where an installer puts the application and its Start-menu shortcut: the
// publisher's folder and the template of the proposed installation
// directory, both carried in the extension block.
#pragma once

#include "archive/installation_names.h"
#include "common/path.h"

#include <string>
#include <string_view>

// Empty when name can be the publisher's folder, one directory name: the
// rules of an entry name (entry_name.h): no separator, not empty, "." or
// "..", not a device name. Otherwise why not, as the end of a sentence.
std::string PublisherNameProblem(std::string_view name);

// Empty when path can be an installation directory; otherwise why not, as
// the end of a sentence ("is not absolute: ..."). The rules: absolute, in
// Windows style a drive letter, ":" and a separator ("C:\") or a share
// ("\\server\share"), with "\" or "/" as separator, and no extended-length
// or device path ("\\?\", "\\.\", "\??\"); in POSIX style a leading
// "/". After the root (the drive, or the server and share) no component is
// empty (one trailing separator is fine), "." or "..", and each is a valid
// file name by the rules of an entry name (entry_name.h).
std::string InstallDirectoryProblem(std::string_view path, PathStyle style = kNativePathStyle);

// Empty when text is an installation directory template: valid UTF-8 without
// control characters, not empty, every "{" opens one of the tokens
// {ProgramFiles}, {LocalAppData}, {Publisher}, {AppName} and every "}"
// closes one, and the text expands to an absolute directory: with sample
// values for the tokens (a Program Files and a local application data folder
// of a Windows machine, one plain name for the publisher and the
// application) InstallDirectoryProblem in Windows style accepts it.
// Otherwise why not ("has the unknown token '{X}'", ...).
std::string InstallDirTemplateProblem(std::string_view text);

// The values of the template tokens on the machine and for the installer
// at hand.
struct InstallDirValues {
    std::string programFiles; // {ProgramFiles}: the machine's Program Files folder
    std::string localAppData; // {LocalAppData}: the current user's local application data
    std::string publisher;    // {Publisher}
    std::string appName;      // {AppName}
};

// text (accepted by InstallDirTemplateProblem) with each token replaced by
// its value; the rest is kept as written.
std::string ExpandInstallDirTemplate(std::string_view text, const InstallDirValues& values);
