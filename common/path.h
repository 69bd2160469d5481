// Path composition and decomposition.
//
// Windows paths use backslashes and know drives ("C:"); POSIX paths use "/"
// and have no drives. Each function follows the rules of the platform it is
// built for unless a PathStyle is given, which lets either rule set be
// checked on any platform.
#pragma once

#include <string>
#include <string_view>

enum class PathStyle { Windows, Posix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kNativePathStyle = PathStyle::Posix;
#endif

constexpr char PathSeparator(PathStyle style = kNativePathStyle) { return style == PathStyle::Windows ? '\\' : '/'; }

// The platform's path length limit; longer paths are not supported.
inline constexpr std::size_t kMaxPath = 260;

// directory + separator + name + "." + extension. The separator is left out
// when the directory is empty or already ends with one, and in Windows style
// also for directories of one to three characters other than "." (drives such
// as "C:" or "C:\"). An empty name with a null extension returns the directory
// unchanged; a null or empty extension adds no ".".
std::string BuildPath(std::string_view directory, std::string_view name, const char* extension,
                      PathStyle style = kNativePathStyle);

// directory + separator + name, the separator left out when directory is
// empty or already ends with one. Unlike BuildPath, a short directory such as
// "ab" is no drive: it gets its separator too.
std::string ChildPath(std::string_view directory, std::string_view name, PathStyle style = kNativePathStyle);

enum PathPart : int { kPathDirectory = 0, kPathFileName = 1, kPathExtension = 2, kPathBaseName = 3 };

// One part of path, split at its last separator:
// - kPathDirectory: the text before it, empty without one; a drive root
//   ("C:\", or "\" / "/" for a path starting with its only separator) keeps it;
// - kPathFileName: the text after it, or the whole path;
// - kPathExtension: the text after the file name's last ".", or empty;
// - kPathBaseName: the file name cut at its last "." (a leading "." of a path
//   without separator is kept).
// Any other number gives the empty string.
std::string GetPathPart(std::string_view path, int part, PathStyle style = kNativePathStyle);

// True when path names its place without a current directory or drive: in
// Windows style a drive letter with its root ("C:\", "C:/") or a share
// ("\\server\..."), either separator; in POSIX style a leading "/".
bool IsAbsolutePath(std::string_view path, PathStyle style = kNativePathStyle);

// path with every "/" turned into "\\" in Windows style, where both separate
// directories but only the backslash is recognised by these functions;
// unchanged in POSIX style.
std::string WithNativeSeparators(std::string path, PathStyle style = kNativePathStyle);

// The path with its base name (the file name without its last extension)
// replaced: "dir\name.ext" with "other" gives "dir\other.ext".
std::string ReplaceBaseName(std::string_view path, std::string_view baseName, PathStyle style = kNativePathStyle);

// The path with ".<suffix>" inserted before its extension:
// "dir\name.ext" with "1" gives "dir\name.1.ext".
std::string InsertPathSuffix(std::string_view path, std::string_view suffix, PathStyle style = kNativePathStyle);
