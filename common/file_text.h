// A file of text lines: CFile plus line reading, line writing with CR LF,
// printf-style writes, time-stamped lines and hex dumps.
//
// Writes go straight to the file; a failed write raises FileException as any
// CFile write does.
#pragma once

#include "common/file.h"
#include "common/string_format.h"

#include <cstddef>
#include <string>

class CFileText : public CFile {
public:
    // Longest formatted text each formatted write takes; a longer text is cut
    // to this many characters, never written past its buffer.
    static constexpr std::size_t kMaxLineFormat = 4999; // WriteLineFormat, WriteTimestampedLine
    static constexpr std::size_t kMaxFormat = 1999;     // WriteFormat
    static constexpr std::size_t kDumpRuleLength = 75;  // the "=" and "-" rules of a hex dump

    // A closed file. With trace set, Gets prints what it does to standard output.
    explicit CFileText(bool trace = false) : trace_(trace) {}

    // Reads one line into buffer (size bytes, NUL-terminated) from the current
    // position. At most size - 1 bytes are read at once: a longer line comes
    // back in pieces of size - 1 bytes, and the next call goes on where the
    // piece ended. A line ends with LF; its text stops before the LF, or before
    // a CR standing directly before it. Bytes read past the LF are given back
    // by moving the file position, so the next call starts right after the LF.
    // Returns false, with length 0, when nothing could be read (the end of the
    // file, or a buffer smaller than 2 bytes). length, when given, receives
    // the number of bytes of the text.
    bool Gets(char* buffer, std::size_t size, std::size_t* length = nullptr);

    // The text (nothing for null) followed by CR LF.
    void WriteLine(const char* text);
    void WriteLine(const std::string& text) { WriteLine(text.c_str()); }
    // Moves to the end of the file, then WriteLine.
    void AppendLine(const char* text);
    void AppendLine(const std::string& text) { AppendLine(text.c_str()); }

    // The formatted text, at most kMaxFormat characters, without a line end.
    void WriteFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    // The formatted text, at most kMaxLineFormat characters, then CR LF.
    void WriteLineFormat(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);
    // GetTimeStampText (current local time, no milliseconds), one space, the
    // formatted text (at most kMaxLineFormat characters) and CR LF.
    void WriteTimestampedLine(const char* format, ...) ZOR_PRINTF_FORMAT(2, 3);

    // A hex dump of length bytes at bytes under the title name: a rule of "=",
    // "<name> - dumping <N> (<N in hex>h) bytes", a rule of "-", one row per 16
    // bytes (offset, hex columns, printable characters) and a closing rule of
    // "=". A null block or a negative length dumps as 0 bytes; a null name as "".
    void DumpHex(const char* name, const void* bytes, int length);
    // The same with GetTimeStampText and one space before every line.
    void DumpHexTimestamped(const char* name, const void* bytes, int length);

    // Opens an existing file with the given access and share mode or, when
    // that fails, creates it; on success moves to the end of the file. An
    // existing file is never truncated.
    bool OpenForAppend(const std::string& path, FileAccess access = FileAccess::Write,
                       FileShare share = FileShare::DenyWrite);

    bool Trace() const { return trace_; }

private:
    void WriteText(const char* text, std::size_t length);
    void WriteHexDump(const char* name, const void* bytes, int length, bool timestamped);

    bool trace_ = false;
};

// One row of a hex dump as DumpHex writes it, without a line end: the offset
// label, then the first count bytes of row (at most 16; the columns past them
// stay blank).
std::string FormatHexDumpRow(std::size_t offset, const unsigned char* row, std::size_t count);
