#include "common/path.h"

#include "common/text_utils.h"

#include <algorithm>

namespace {

bool NeedsSeparator(std::string_view directory, PathStyle style) {
    if (directory.empty() || directory.back() == PathSeparator(style)) return false;
    if (style == PathStyle::Windows && directory.size() < 4) return EqualsIgnoringCase(directory, ".");
    return true;
}

} // namespace

std::string BuildPath(std::string_view directory, std::string_view name, const char* extension, PathStyle style) {
    std::string path(directory);
    if (name.empty() && extension == nullptr) return path;
    if (NeedsSeparator(directory, style)) path += PathSeparator(style);
    path += name;
    if (extension != nullptr && *extension != '\0') {
        path += '.';
        path += extension;
    }
    return path;
}

std::string ChildPath(std::string_view directory, std::string_view name, PathStyle style) {
    std::string path(directory);
    if (!path.empty() && path.back() != PathSeparator(style)) path += PathSeparator(style);
    path += name;
    return path;
}

std::string GetPathPart(std::string_view path, int part, PathStyle style) {
    const std::size_t separator = path.rfind(PathSeparator(style));
    const bool hasSeparator = separator != std::string_view::npos;
    const std::string_view fileName = hasSeparator ? path.substr(separator + 1) : path;

    switch (part) {
    case kPathDirectory: {
        if (!hasSeparator) return {};
        const bool isRoot = style == PathStyle::Windows ? separator <= 2 : separator == 0;
        return std::string(path.substr(0, isRoot ? separator + 1 : separator));
    }
    case kPathFileName:
        return std::string(fileName);
    case kPathExtension: {
        const std::size_t dot = fileName.rfind('.');
        return dot == std::string_view::npos ? std::string() : std::string(fileName.substr(dot + 1));
    }
    case kPathBaseName: {
        std::size_t dot = fileName.rfind('.');
        if (!hasSeparator && dot == 0) dot = std::string_view::npos;
        return std::string(fileName.substr(0, dot));
    }
    default:
        return {};
    }
}

std::string ReplaceBaseName(std::string_view path, std::string_view baseName, PathStyle style) {
    // Joined by hand rather than with BuildPath: a short directory such as
    // "abc" must still get its separator back.
    std::string result = GetPathPart(path, kPathDirectory, style);
    if (!result.empty() && result.back() != PathSeparator(style)) result += PathSeparator(style);
    result += baseName;
    const std::string extension = GetPathPart(path, kPathExtension, style);
    if (!extension.empty()) result += '.' + extension;
    return result;
}

std::string WithNativeSeparators(std::string path, PathStyle style) {
    if (style == PathStyle::Windows) std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string InsertPathSuffix(std::string_view path, std::string_view suffix, PathStyle style) {
    std::string baseName = GetPathPart(path, kPathBaseName, style);
    baseName += '.';
    baseName += suffix;
    return ReplaceBaseName(path, baseName, style);
}

bool IsAbsolutePath(std::string_view path, PathStyle style) {
    if (style == PathStyle::Posix) return !path.empty() && path[0] == '/';
    const auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' && isSeparator(path[2])) return true;
    return path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]) && !isSeparator(path[2]);
}
