// Where the content of a file that may be code-signed ends: an installer
// (its archive's tailer) or a carried uninstaller (its record marker), each
// found by the trailer that ends its content.
//
// A code-signed file carries its Authenticode certificate table after that
// content: the PE security directory (data directory 4) holds the table's
// file offset and size, and signing tools align the table to 8 bytes with
// zeros. So when the file's last bytes are not the trailer, the trailer is
// looked for just before a table that ends the file, across at most 7 zero
// bytes, and the content is taken to end there. Removing the signature
// (osslsigncode remove-signature) takes the table away and keeps the zeros:
// without a table, up to 7 zero bytes after the trailer at the end of the
// file are skipped the same way. The PE headers are read by pe_image.h, the
// one reader of their fields.
//
// Reader is anything with Length(), Seek(std::uint64_t) and Read(buffer,
// count) that reads short at the end, as BufferedReader does.
#pragma once

#include "archive/pe_image.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace signed_file_end {

// The table is 8-byte aligned; padding of a full 8 bytes or more is no
// signing tool's and is not searched, so a damaged file is not read further.
// The same limit holds for the zeros a removed table leaves.
inline constexpr std::size_t kMaxTablePadding = 7;
// The longest trailer searched for.
inline constexpr std::size_t kMaxTrailerSize = 64;

// The file offset of a certificate table named by the PE security directory
// that ends exactly at the end of the file and starts after the PE headers
// with room for a trailer of trailerSize bytes before it; 0 when there is
// none such.
template <class Reader>
std::uint64_t FindCertificateTable(Reader& file, std::size_t trailerSize) {
    std::uint8_t bytes[std::max(pe_image::kDosHeaderSize, pe_image::kHeadersReadSize)];
    file.Seek(0);
    std::uint32_t peOffset = 0;
    if (!ReadPeOffset(bytes, file.Read(bytes, pe_image::kDosHeaderSize), peOffset)) return 0;
    file.Seek(peOffset); // beyond the end the read comes back short
    PeHeaderFields fields;
    if (!ParsePeHeaders(bytes, file.Read(bytes, pe_image::kHeadersReadSize), peOffset, fields) ||
        fields.securityEntryOffset == 0)
        return 0;
    const std::uint64_t start = fields.certificateTableOffset;
    const std::uint64_t size = fields.certificateTableSize;
    const std::uint64_t headersEnd = fields.securityEntryOffset + 8;
    if (size == 0 || start + size != file.Length() || start < headersEnd + trailerSize) return 0;
    return start;
}

// Finds the trailer of trailerSize bytes (at most kMaxTrailerSize) that
// starts with the magicSize bytes of magic and ends the content, copies it to
// trailer and sets end to where it ends: the end of the file; for a signed
// file, the start of the zeros before its table; for a file whose signature
// was removed again, the start of the zeros the signing tool had put after
// the trailer. False when there is no such trailer.
template <class Reader>
bool LocateTrailer(Reader& file, const void* magic, std::size_t magicSize, std::uint8_t* trailer,
                   std::size_t trailerSize, std::uint64_t& end) {
    end = file.Length();
    if (end < trailerSize || trailerSize > kMaxTrailerSize) return false;
    file.Seek(end - trailerSize);
    if (file.Read(trailer, trailerSize) == trailerSize && std::memcmp(trailer, magic, magicSize) == 0) return true;
    // The zeros end at the table when there is one, else at the end of the
    // file. A table starts after the PE headers, so the window before it
    // holds at least a trailer.
    const std::uint64_t tableStart = FindCertificateTable(file, trailerSize);
    const std::uint64_t limit = tableStart != 0 ? tableStart : end;
    std::uint8_t window[kMaxTrailerSize + kMaxTablePadding];
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(trailerSize + kMaxTablePadding, limit));
    file.Seek(limit - size);
    if (file.Read(window, size) != size) return false;
    for (std::size_t padding = 0; padding + trailerSize <= size; ++padding) {
        if (padding > 0 && window[size - padding] != 0) break;
        const std::uint8_t* candidate = window + size - padding - trailerSize;
        if (std::memcmp(candidate, magic, magicSize) == 0) {
            std::memcpy(trailer, candidate, trailerSize);
            end = limit - padding;
            return true;
        }
    }
    return false;
}

} // namespace signed_file_end
