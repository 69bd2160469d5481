#include "uninstall/uninstall_record.h"

#include "archive/entry_name.h"
#include "archive/installation_names.h"
#include "common/byte_reader.h"
#include "common/little_endian.h"
#include "common/path.h"
#include "common/special_folders.h"
#include "common/string_format.h"
#include "common/utf8.h"
#include "compress/md5_digest.h"

#include <cstring>
#include <utility>

using namespace uninstall_format;

const ShortcutFolderRule kShortcutFolderRules[7] = {
    {kFolderPrograms, ""},
    {kFolderCommonPrograms, ""},
    {kFolderDesktop, ""},
    {kFolderCommonDesktop, ""},
    {kFolderStartup, ""},
    {kFolderCommonStartup, ""},
    {kFolderApplicationData, kQuickLaunchFolder},
};

namespace {

enum Kind : std::uint32_t {
    kItemAppName = 1,
    kItemVersion = 2,
    kItemPublisher = 3,
    kItemScope = 4,
    kItemUninstallKey = 5,
    kItemAppPathsName = 6,
    kItemFile = 7,
    kItemShortcut = 8,
    kItemWindowList = 9,
    kItemDirectory = 10,
};
constexpr Kind kLastKind = kItemDirectory;

std::string TextProblem(const char* what, const std::string& text) {
    if (!IsValidUtf8(text)) return StringFormat("has %s that is not UTF-8", what);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return StringFormat("has %s with the control character 0x%02X", what, byte);
    }
    return {};
}

std::string ShortcutProblem(const UninstallShortcut& shortcut) {
    const ShortcutFolderRule* rule = nullptr;
    for (const ShortcutFolderRule& candidate : kShortcutFolderRules)
        if (candidate.folder == shortcut.folder) rule = &candidate;
    if (rule == nullptr)
        return StringFormat("has a shortcut in the shell folder %d, not one of links", shortcut.folder);
    if (std::string problem = EntryPathProblem(shortcut.path); !problem.empty())
        return "has the shortcut '" + shortcut.path + "' that " + problem;
    const std::string folded = FoldCaseUtf8(shortcut.path);
    if (folded.size() < 5 || folded.compare(folded.size() - 4, 4, ".lnk") != 0)
        return "has the shortcut '" + shortcut.path + "' that is not a .lnk file";
    if (*rule->requiredFolder != '\0' &&
        folded.rfind(FoldCaseUtf8(std::string(rule->requiredFolder) + kEntrySeparator), 0) != 0)
        return "has the shortcut '" + shortcut.path + "' outside the folder of links";
    return {};
}

void AppendItem(std::string& body, std::uint32_t& count, Kind kind, std::uint32_t number, const std::string& text) {
    AppendLittleEndian32(body, kind);
    AppendLittleEndian32(body, number);
    AppendLittleEndian32(body, static_cast<std::uint32_t>(text.size()));
    body += text;
    ++count;
}

} // namespace

std::string UninstallRecordProblem(const UninstallRecord& record) {
    if (record.appName.empty()) return "has no application name";
    for (const auto& [what, text] : {std::pair<const char*, const std::string*>{"an application name", &record.appName},
                                     {"a version", &record.version},
                                     {"a publisher", &record.publisher},
                                     {"a window list", &record.windowList},
                                     {"an installation directory", &record.directory}}) {
        if (std::string problem = TextProblem(what, *text); !problem.empty()) return problem;
    }
    if (!record.directory.empty() && !IsAbsolutePath(record.directory))
        return "has the installation directory '" + record.directory + "' that is not absolute";
    if (std::string problem = EntryNameProblem(record.uninstallKey); !problem.empty())
        return "has an uninstall key that " + problem;
    if (!record.appPathsName.empty()) {
        if (std::string problem = EntryNameProblem(record.appPathsName); !problem.empty())
            return "has an App Paths name that " + problem;
    }
    for (const std::string& file : record.files) {
        if (std::string problem = EntryPathProblem(file); !problem.empty())
            return "has the file '" + file + "' that " + problem;
    }
    for (const UninstallShortcut& shortcut : record.shortcuts) {
        if (std::string problem = ShortcutProblem(shortcut); !problem.empty()) return problem;
    }
    return {};
}

std::string EncodeUninstallRecord(const UninstallRecord& record) {
    std::string items;
    std::uint32_t count = 0;
    AppendItem(items, count, kItemAppName, 0, record.appName);
    if (!record.version.empty()) AppendItem(items, count, kItemVersion, 0, record.version);
    if (!record.publisher.empty()) AppendItem(items, count, kItemPublisher, 0, record.publisher);
    AppendItem(items, count, kItemScope, record.perUser ? 1 : 0, "");
    AppendItem(items, count, kItemUninstallKey, 0, record.uninstallKey);
    if (!record.appPathsName.empty()) AppendItem(items, count, kItemAppPathsName, 0, record.appPathsName);
    for (const std::string& file : record.files) AppendItem(items, count, kItemFile, 0, file);
    for (const UninstallShortcut& shortcut : record.shortcuts)
        AppendItem(items, count, kItemShortcut, static_cast<std::uint32_t>(shortcut.folder), shortcut.path);
    if (!record.windowList.empty()) AppendItem(items, count, kItemWindowList, 0, record.windowList);
    if (!record.directory.empty()) AppendItem(items, count, kItemDirectory, 0, record.directory);

    std::string body;
    AppendLittleEndian32(body, count);
    body += items;
    std::uint8_t digest[kMd5DigestSize];
    Md5Digest md5;
    md5.Update(reinterpret_cast<const std::uint8_t*>(body.data()), body.size());
    md5.Final(digest);

    std::string bytes = body;
    bytes.append(kMagic, sizeof kMagic);
    AppendLittleEndian32(bytes, kVersion);
    AppendLittleEndian32(bytes, static_cast<std::uint32_t>(body.size()));
    bytes.append(reinterpret_cast<const char*>(digest), sizeof digest);
    return bytes;
}

std::string EncodeRecordBesideMarker() {
    std::string bytes(kMagic, sizeof kMagic);
    AppendLittleEndian32(bytes, kRecordBesideVersion);
    bytes.append(kTrailerSize - bytes.size(), '\0'); // body length 0, digest field zero
    return bytes;
}

bool IsRecordBesideMarker(const std::uint8_t* trailer) {
    const std::string marker = EncodeRecordBesideMarker();
    return std::memcmp(trailer, marker.data(), kTrailerSize) == 0;
}

bool EndsWithUninstallRecord(const std::uint8_t* file, std::size_t size) {
    return size >= kTrailerSize && std::memcmp(file + size - kTrailerSize, kMagic, sizeof kMagic) == 0;
}

std::string ParseUninstallRecord(const std::uint8_t* file, std::size_t size, UninstallRecord& record) {
    record = UninstallRecord();
    if (!EndsWithUninstallRecord(file, size)) return "is not an uninstaller (no uninstall record at its end)";
    ByteReader trailer(file + size - kTrailerSize, kTrailerSize);
    trailer.Skip(sizeof kMagic);
    const std::uint32_t version = trailer.Read32();
    const std::uint32_t bodySize = trailer.Read32();
    const std::uint8_t* storedDigest = trailer.ReadBytes(kMd5DigestSize);
    if (version != kVersion)
        return StringFormat("has an uninstall record of version %u (this uninstaller knows %u)", version, kVersion);
    if (bodySize < 4 || bodySize > kMaxBodySize || bodySize > size - kTrailerSize)
        return StringFormat("is damaged: its record claims %u bytes", bodySize);
    const std::uint8_t* body = file + size - kTrailerSize - bodySize;
    std::uint8_t digest[kMd5DigestSize];
    Md5Digest md5;
    md5.Update(body, bodySize);
    md5.Final(digest);
    if (!CompareMD5(digest, storedDigest)) return "is damaged: its record does not match its digest";

    ByteReader items(body, bodySize);
    const std::uint32_t count = items.Read32();
    if (count > (bodySize - 4) / kItemHeaderSize)
        return StringFormat("has a record of %u items, more than its %u bytes can hold", count, bodySize);
    UninstallRecord read;
    unsigned seen[kLastKind + 1] = {};
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t kind = items.Read32();
        const std::uint32_t number = items.Read32();
        std::string text = items.ReadCountedText();
        if (items.Failed()) return StringFormat("has item %u cut short", i + 1);
        if (kind == 0 || kind > kLastKind) return StringFormat("has item %u of the unknown kind %u", i + 1, kind);
        if (kind != kItemFile && kind != kItemShortcut && ++seen[kind] > 1)
            return StringFormat("has item kind %u twice", kind);
        // An absent App Paths name or directory is no item, never an empty one.
        if ((kind == kItemAppPathsName || kind == kItemDirectory) && text.empty())
            return StringFormat("has an empty item of kind %u", kind);
        switch (kind) {
        case kItemAppName:
            read.appName = std::move(text);
            break;
        case kItemVersion:
            read.version = std::move(text);
            break;
        case kItemPublisher:
            read.publisher = std::move(text);
            break;
        case kItemScope:
            if (number > 1) return StringFormat("has the unknown scope %u", number);
            read.perUser = number == 1;
            break;
        case kItemUninstallKey:
            read.uninstallKey = std::move(text);
            break;
        case kItemAppPathsName:
            read.appPathsName = std::move(text);
            break;
        case kItemFile:
            read.files.push_back(std::move(text));
            break;
        case kItemShortcut: {
            // Added as the installer adds its links (a copy): one way of
            // growing the list in the whole stub.
            const UninstallShortcut shortcut{static_cast<int>(number), text};
            read.shortcuts.push_back(shortcut);
            break;
        }
        case kItemWindowList:
            read.windowList = std::move(text);
            break;
        case kItemDirectory:
            read.directory = std::move(text);
            break;
        }
    }
    if (items.Left() != 0) return StringFormat("has %zu bytes after its last item", items.Left());
    if (seen[kItemScope] == 0) return "has a record without its scope";
    if (std::string problem = UninstallRecordProblem(read); !problem.empty()) return problem;
    record = std::move(read);
    return {};
}
