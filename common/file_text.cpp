#include "common/file_text.h"

#include "common/time_stamps.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kLineEndLength = 2;
constexpr std::size_t kRowBytes = 16;

// Printable in the C locale: the ASCII graphic characters and the space.
bool IsPrintable(unsigned char byte) { return byte >= 0x20 && byte <= 0x7E; }

} // namespace

bool CFileText::Gets(char* buffer, std::size_t size, std::size_t* length) {
    if (length) *length = 0;
    if (buffer == nullptr || size == 0) return false;

    if (trace_) std::fputs("--------------------\n", stdout);
    const std::size_t got = Read(buffer, size - 1);
    buffer[got] = '\0';
    if (trace_) {
        std::printf("CFileText::Gets: uRead = %u(%u)\n", static_cast<unsigned>(got), static_cast<unsigned>(size));
        std::printf("CFileText::Gets: lpBuf='%s'\n", buffer);
    }
    if (got == 0) return false;
    if (trace_) std::fputs("uRead != 0\n", stdout);

    const char* lineFeed = static_cast<const char*>(std::memchr(buffer, '\n', got));
    if (lineFeed == nullptr) {
        // No line end within the buffer: the whole read is (a piece of) the line.
        if (length) *length = got;
        return true;
    }

    const std::size_t lineLength = static_cast<std::size_t>(lineFeed - buffer) + 1;
    if (trace_) std::printf("CFileText::Gets: uLenLine = %u\n", static_cast<unsigned>(lineLength));
    std::size_t textLength = lineLength - 1;
    if (textLength > 0 && buffer[textLength - 1] == '\r') --textLength;
    buffer[textLength] = '\0';

    const std::size_t beyond = got - lineLength;
    if (beyond != 0) {
        if (trace_) std::printf("CFileText::Gets: Déplacement de %d\n", static_cast<int>(beyond));
        Seek(-static_cast<std::int64_t>(beyond), SeekOrigin::Current);
    }
    if (trace_) std::printf("CFileText::Gets: Trouve '%s'\n", buffer);
    if (length) *length = textLength;
    return true;
}

void CFileText::WriteText(const char* text, std::size_t length) { Write(text, length); }

void CFileText::WriteLine(const char* text) {
    std::string line = text ? text : "";
    line += kLineEnd;
    WriteText(line.data(), line.size());
}

void CFileText::AppendLine(const char* text) {
    SeekToEnd();
    WriteLine(text);
}

// Each formatted write formats into a buffer of its own on the stack, of the
// size its limit gives: the cut is the same as with one shared buffer, and
// threads writing different files do not overwrite each other's text.
void CFileText::WriteFormat(const char* format, ...) {
    char buffer[kMaxFormat + 1];
    va_list args;
    va_start(args, format);
    const std::size_t length = FormatToBufferV(buffer, sizeof buffer, format, args);
    va_end(args);
    WriteText(buffer, length);
}

void CFileText::WriteLineFormat(const char* format, ...) {
    // Room for the longest text, the line end and FormatToBuffer's NUL.
    char buffer[kMaxLineFormat + 1 + kLineEndLength];
    va_list args;
    va_start(args, format);
    const std::size_t length = FormatToBufferV(buffer, kMaxLineFormat + 1, format, args);
    va_end(args);
    std::memcpy(buffer + length, kLineEnd, kLineEndLength);
    WriteText(buffer, length + kLineEndLength);
}

void CFileText::WriteTimestampedLine(const char* format, ...) {
    char buffer[kMaxLineFormat + 1];
    va_list args;
    va_start(args, format);
    const std::size_t length = FormatToBufferV(buffer, sizeof buffer, format, args);
    va_end(args);
    std::string line = GetTimeStampText(nullptr, false);
    line += ' ';
    line.append(buffer, length);
    line += kLineEnd;
    WriteText(line.data(), line.size());
}

std::string FormatHexDumpRow(std::size_t offset, const unsigned char* row, std::size_t count) {
    if (row == nullptr)
        count = 0;
    else if (count > kRowBytes)
        count = kRowBytes;
    std::string text = StringFormat("%04X  ", static_cast<unsigned>(offset));
    for (std::size_t column = 0; column < kRowBytes; ++column) {
        if (column == 8) text += ' ';
        text += column < count ? StringFormat("%02X ", row[column]) : std::string("   ");
    }
    text += " '";
    for (std::size_t column = 0; column < kRowBytes; ++column) {
        if (column == 8) text += ' ';
        text += column < count ? (IsPrintable(row[column]) ? static_cast<char>(row[column]) : '.') : ' ';
    }
    text += '\'';
    return text;
}

void CFileText::WriteHexDump(const char* name, const void* bytes, int length, bool timestamped) {
    const auto* data = static_cast<const unsigned char*>(bytes);
    const std::size_t count = data != nullptr && length > 0 ? static_cast<std::size_t>(length) : 0;
    const auto writeDumpLine = [&](const std::string& line) {
        if (timestamped)
            WriteLine(GetTimeStampText(nullptr, false) + ' ' + line);
        else
            WriteLine(line);
    };

    writeDumpLine(std::string(kDumpRuleLength, '='));
    writeDumpLine(StringFormat("%s - dumping %d (%04Xh) bytes", name ? name : "", static_cast<int>(count),
                               static_cast<unsigned>(count)));
    writeDumpLine(std::string(kDumpRuleLength, '-'));
    for (std::size_t offset = 0; offset < count; offset += kRowBytes) {
        const std::size_t rowCount = count - offset < kRowBytes ? count - offset : kRowBytes;
        writeDumpLine(FormatHexDumpRow(offset, data + offset, rowCount));
    }
    writeDumpLine(std::string(kDumpRuleLength, '='));
}

void CFileText::DumpHex(const char* name, const void* bytes, int length) { WriteHexDump(name, bytes, length, false); }

void CFileText::DumpHexTimestamped(const char* name, const void* bytes, int length) {
    WriteHexDump(name, bytes, length, true);
}

bool CFileText::OpenForAppend(const std::string& path, FileAccess access, FileShare share) {
    // The retry creates a missing file but, unlike a plain create, keeps the
    // content of a file whose first open failed for another reason.
    if (!Open(path, access, FileCreation::OpenExisting, share) && !Open(path, access, FileCreation::OpenAlways, share))
        return false;
    SeekToEnd();
    return true;
}
