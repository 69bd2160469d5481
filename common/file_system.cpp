#include "common/file_system.h"

#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system_platform.h"
#include "common/last_error.h"
#include "common/path.h"
#include "common/string_format.h"
#include "common/text_utils.h"

#include <vector>

using file_system_platform::FindFileInfo;
using file_system_platform::MakeDirectory;

namespace {

constexpr char kSeparator = PathSeparator();
constexpr std::size_t kCopyBlock = 4096;

// The two flavours of CreateDirectoryTree differ only in these three points.
struct TreeRules {
    bool (*exists)(const std::string&);
    bool skipNetworkPrefix;
    std::string (*errorText)();
};

const TreeRules kLocalTree = {DirectoryExists, false, [] { return std::string(LastErrorText()); }};
const TreeRules kNetworkTree = {DirectoryExistsUnc, true, FormatLastSystemMessage};

// Index of the first separator whose prefix is a directory to create: in the
// Windows build the first component (a drive) is skipped; POSIX has no drives.
std::size_t FirstCreatedSeparator(const std::string& path, const TreeRules& rules) {
    std::size_t start = 0;
    if (rules.skipNetworkPrefix && path.size() >= 2 && path[0] == kSeparator && path[1] == kSeparator) start = 2;
    if (kNativePathStyle == PathStyle::Posix) return path.find(kSeparator, start == 0 ? 1 : start);
    const std::size_t first = path.find(kSeparator, start);
    return first == std::string::npos ? first : path.find(kSeparator, first + 1);
}

// Creates one directory; one that appeared meanwhile (another process
// creating the same tree) counts as made. The last error stays that of the
// failed creation.
bool MakeDirectoryOnce(const std::string& path, const TreeRules& rules) {
    if (MakeDirectory(path)) return true;
    const std::uint32_t error = GetLastErrorCode();
    if (rules.exists(path)) return true;
    SetLastErrorCode(error);
    return false;
}

bool CreateTree(const std::string& path, std::string* error, const TreeRules& rules) {
    const auto fail = [&](const std::string& directory) {
        if (error)
            *error = StringFormat("!Error: Unable to create directory '%s' (%s)", directory.c_str(),
                                  rules.errorText().c_str());
        return false;
    };

    if (rules.exists(path)) return true;
    if (path.find(kSeparator) == std::string::npos) return MakeDirectoryOnce(path, rules) || fail(path);

    for (std::size_t at = FirstCreatedSeparator(path, rules); at != std::string::npos;
         at = path.find(kSeparator, at + 1)) {
        const std::string prefix = path.substr(0, at);
        if (!rules.exists(prefix) && !MakeDirectoryOnce(prefix, rules)) return fail(prefix);
    }
    if (path.back() == kSeparator) return true;
    return rules.exists(path) || MakeDirectoryOnce(path, rules) || fail(path);
}

} // namespace

bool GetFileDetails(const std::string& path, FileDetails& details) { return FindFileInfo(path, details); }

bool FileExists(const std::string& path) {
    FileDetails info;
    return FindFileInfo(path, info) && !info.isDirectory;
}

bool CreateDirectoryTree(const std::string& path, std::string* error) { return CreateTree(path, error, kLocalTree); }

bool DirectoryExistsUnc(const std::string& path) {
    const std::string client = std::string(2, kSeparator) + "client";
    if (StartsWithIgnoringCase(path, client) && (path.size() <= 9 || path.find(kSeparator, 9) == std::string::npos))
        return true;
    return DirectoryExists(path);
}

bool CreateDirectoryTreeUnc(const std::string& path, std::string* error) {
    return CreateTree(path, error, kNetworkTree);
}

bool GetFileLocalTime(const std::string& path, CalendarTime& time) {
    FileDetails info;
    if (FindFileInfo(path, info) && FileTimeToLocalCalendar(info.times.lastWrite, time)) return true;
    time = {};
    return false;
}

bool GetFileSizeLow(const std::string& path, std::uint32_t& size) {
    FileDetails info;
    const bool found = FindFileInfo(path, info);
    size = found ? static_cast<std::uint32_t>(info.size) : 0;
    return found;
}

bool TouchFile(const std::string& path, const CalendarTime* lastWrite, std::string* error) {
    const auto fail = [&](const char* step) {
        if (error) *error = StringFormat("%s: %s", step, LastErrorText());
        return false;
    };

    CFile file;
    if (!file.Open(path, FileAccess::Write, FileCreation::OpenExisting, FileShare::DenyNone)) return fail("Open");

    FileTimes times;
    if (lastWrite == nullptr) {
        const FileTime now = CurrentFileTime();
        times = {now, now, now};
    } else {
        if (!file.GetFileTimes(times)) return fail("GetFileTime");
        if (!LocalCalendarToFileTime(*lastWrite, times.lastWrite)) {
            SetLastErrorCode(kErrorInvalidParameter);
            return fail("SetFileTime");
        }
    }
    if (!file.SetFileTimes(&times.creation, &times.lastAccess, &times.lastWrite)) return fail("SetFileTime");
    return true;
}

bool CopyFileContents(const std::string& source, const std::string& destination) {
    CFile input, output;
    if (!input.OpenForReading(source, FileShare::DenyWrite) || !output.Create(destination)) return false;
    std::vector<unsigned char> block(kCopyBlock);
    std::size_t got = 0;
    do {
        if (!input.TryRead(block.data(), block.size(), got) || !output.TryWrite(block.data(), got)) return false;
    } while (got != 0);
    return true;
}

bool ListDirectory(const std::string& directory, std::vector<std::string>& names) {
    names.clear();
    const auto add = [](const char* name, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(name);
    };
    return file_system_platform::VisitDirectory(directory, add, &names);
}

long CountDirectoryEntries(const std::string& path) {
    long count = 0;
    const auto add = [](const char*, void* context) { ++*static_cast<long*>(context); };
    return file_system_platform::VisitDirectory(path, add, &count) ? count : -1;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    FileIdentity first, second;
    return GetFileIdentity(a, first) && GetFileIdentity(b, second) && first == second;
}
