// The logger's two dumps of a memory block: a hex dump and a C-array
// listing. Each goes out as one log line per 16 bytes after a header line.
#include "common/string_format.h"
#include "log/logger.h"

namespace {

constexpr std::uint32_t kRowBytes = 16;
constexpr std::uint32_t kHalfRow = 8; // one extra space goes before the ninth column

void LogDumpHeader(Logger& logger, Priority priority, const char* name, std::uint32_t length) {
    logger.logFormat(priority, "---------  %s's dump (%u/%08lXh bytes) --------", name ? name : "", length,
                     static_cast<unsigned long>(length));
}

} // namespace

void Logger::dumpHex(Priority priority, const char* name, const void* bytes, std::uint32_t length) {
    if (bytes == nullptr) length = 0;
    const auto* data = static_cast<const unsigned char*>(bytes);
    LogDumpHeader(*this, priority, name, length);
    for (std::uint32_t offset = 0; offset < length; offset += kRowBytes) {
        std::string line = StringFormat("%04X ", offset & 0xFFFFu);
        for (std::uint32_t column = 0; column < kRowBytes; ++column) {
            if (column == kHalfRow) line += ' ';
            const std::uint32_t at = offset + column;
            line += at < length ? StringFormat("%02X ", data[at]) : std::string("   ");
        }
        line += " '";
        for (std::uint32_t column = 0; column < kRowBytes; ++column) {
            if (column == kHalfRow) line += ' ';
            const std::uint32_t at = offset + column;
            if (at >= length)
                line += ' ';
            else
                line += data[at] >= 0x20 && data[at] <= 0x7E ? static_cast<char>(data[at]) : '.';
        }
        line += '\'';
        log(priority, line);
        if (length - offset <= kRowBytes) break; // no wrap of offset near 2^32
    }
}

void Logger::dumpCArray(Priority priority, const char* name, const void* bytes, std::uint32_t length) {
    if (bytes == nullptr) length = 0;
    const auto* data = static_cast<const unsigned char*>(bytes);
    LogDumpHeader(*this, priority, name, length);
    for (std::uint32_t offset = 0; offset < length; offset += kRowBytes) {
        std::string line;
        for (std::uint32_t column = 0; column < kRowBytes; ++column) {
            if (column == kHalfRow) line += ' ';
            const std::uint32_t at = offset + column;
            line += at < length ? StringFormat("0x%02X, ", data[at]) : std::string("   ");
        }
        log(priority, line);
        if (length - offset <= kRowBytes) break;
    }
}
