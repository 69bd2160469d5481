#include "uninstall/uninstaller_file.h"

#include "common/file.h"
#include "common/little_endian.h"

#include <algorithm>
#include <vector>

using namespace uninstall_format;

namespace {

// The trailer's body-length field.
constexpr std::size_t kBodyLengthField = 20;

// Reads the last count bytes of file (of length bytes) into tail.
bool ReadTail(CFile& file, std::uint64_t length, std::size_t count, std::vector<std::uint8_t>& tail) {
    tail.resize(count);
    file.Seek(static_cast<std::int64_t>(length - count), SeekOrigin::Begin);
    return file.Read(tail.data(), count) == count;
}

} // namespace

bool IsUninstallerFile(const std::string& path) {
    CFile file;
    if (!file.OpenForReading(path)) return false;
    const std::uint64_t length = file.GetLength();
    std::vector<std::uint8_t> trailer;
    return length >= kTrailerSize && ReadTail(file, length, kTrailerSize, trailer) &&
           EndsWithUninstallRecord(trailer.data(), trailer.size());
}

std::string ReadUninstallerRecord(const std::string& path, UninstallRecord& record) {
    record = UninstallRecord();
    CFile file;
    if (!file.OpenForReading(path)) return "cannot be read";
    const std::uint64_t length = file.GetLength();
    std::vector<std::uint8_t> tail;
    if (length < kTrailerSize) return ParseUninstallRecord(tail.data(), 0, record);
    if (!ReadTail(file, length, kTrailerSize, tail)) return "cannot be read";
    // The body the trailer claims, when it is within the limits the parser
    // checks; otherwise the trailer alone, which the parser then refuses.
    const std::uint64_t body = LoadLittleEndian32(tail.data() + kBodyLengthField);
    if (body <= kMaxBodySize && body <= length - kTrailerSize &&
        !ReadTail(file, length, static_cast<std::size_t>(body) + kTrailerSize, tail))
        return "cannot be read";
    return ParseUninstallRecord(tail.data(), tail.size(), record);
}
