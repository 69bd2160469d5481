#include "uninstall/uninstaller_file.h"

#include "archive/installation_names.h"
#include "archive/signed_file_end.h"
#include "common/buffered_file.h"
#include "common/file.h"
#include "common/little_endian.h"
#include "common/path.h"

#include <vector>

using namespace uninstall_format;

namespace {

// The trailer's body-length field.
constexpr std::size_t kBodyLengthField = 20;
// Trailers are searched for by their magic alone; the version tells records
// from markers.
constexpr std::size_t kMagicCompared = sizeof kMagic;
// Each lookup reads a few small pieces near the end.
constexpr std::size_t kLookupBuffer = 4096;
// The problem of a file that could not be opened or read.
constexpr const char* kUnreadable = "cannot be read";

// Finds the trailer that ends the content of file; end receives where it ends.
bool LocateRecordTrailer(BufferedReader& reader, std::uint8_t (&trailer)[kTrailerSize], std::uint64_t& end) {
    return signed_file_end::LocateTrailer(reader, kMagic, kMagicCompared, trailer, kTrailerSize, end);
}

// Reads the body the trailer that ends at end claims, when it is within the
// limits the parser checks (otherwise the trailer alone, which the parser
// then refuses), and parses it.
std::string ReadRecordEndingAt(BufferedReader& reader, std::uint64_t end, const std::uint8_t* trailer,
                               UninstallRecord& record) {
    const std::uint64_t body = LoadLittleEndian32(trailer + kBodyLengthField);
    const std::size_t count = body <= kMaxBodySize && body <= end - kTrailerSize
                                  ? static_cast<std::size_t>(body) + kTrailerSize
                                  : kTrailerSize;
    std::vector<std::uint8_t> bytes(count);
    reader.Seek(end - count);
    if (reader.Read(bytes.data(), count) != count) return kUnreadable;
    return ParseUninstallRecord(bytes.data(), bytes.size(), record);
}

enum class TrailerFound { None, Record, Marker };

// What ends the content of the file at path; readFailure, when given,
// receives the failure of a read.
TrailerFound FindTrailer(const std::string& path, std::optional<FileFailure>* readFailure = nullptr) {
    CFile file;
    if (!file.OpenForReading(path)) return TrailerFound::None;
    BufferedReader reader(file, kLookupBuffer);
    std::uint8_t trailer[kTrailerSize];
    std::uint64_t end = 0;
    if (!LocateRecordTrailer(reader, trailer, end)) {
        if (readFailure && reader.Failure()) *readFailure = *reader.Failure();
        return TrailerFound::None;
    }
    return IsRecordBesideMarker(trailer) ? TrailerFound::Marker : TrailerFound::Record;
}

} // namespace

bool IsUninstallerFile(const std::string& path, std::optional<FileFailure>* readFailure) {
    return FindTrailer(path, readFailure) != TrailerFound::None;
}

bool IsCarriedUninstallerFile(const std::string& path) { return FindTrailer(path) == TrailerFound::Marker; }

std::string ReadUninstallerRecord(const std::string& path, UninstallRecord& record) {
    record = UninstallRecord();
    CFile file;
    if (!file.OpenForReading(path)) return kUnreadable;
    BufferedReader reader(file, kLookupBuffer);
    std::uint8_t trailer[kTrailerSize];
    std::uint64_t end = 0;
    if (!LocateRecordTrailer(reader, trailer, end))
        return reader.Failure() ? kUnreadable : ParseUninstallRecord(trailer, 0, record);
    if (!IsRecordBesideMarker(trailer)) return ReadRecordEndingAt(reader, end, trailer, record);
    const std::string beside = BuildPath(GetPathPart(path, kPathDirectory), kUninstallRecordFileName, nullptr);
    const std::string problem = ReadUninstallRecordFile(beside, record);
    return problem.empty() ? problem : "has its record in '" + beside + "', which " + problem;
}

std::string ReadUninstallRecordFile(const std::string& path, UninstallRecord& record) {
    record = UninstallRecord();
    CFile file;
    if (!file.OpenForReading(path)) return kUnreadable;
    BufferedReader reader(file, kLookupBuffer);
    if (reader.Failure()) return kUnreadable;
    const std::uint64_t length = reader.Length();
    if (length > kMaxBodySize + kTrailerSize) return "is damaged: it is larger than any record";
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    if (reader.Read(bytes.data(), bytes.size()) != bytes.size()) return kUnreadable;
    if (std::string problem = ParseUninstallRecord(bytes.data(), bytes.size(), record); !problem.empty())
        return problem;
    if (LoadLittleEndian32(bytes.data() + length - kTrailerSize + kBodyLengthField) + kTrailerSize != length) {
        record = UninstallRecord();
        return "is damaged: it holds more than its record";
    }
    return {};
}
