// The few fields of a Windows executable's headers (the PE format) that the
// installer reads or rewrites: where a code-signed file's certificate table
// lies, and the image checksum. All integers are little-endian; offsets
// below count from the start of the structure named.
//
//   DOS header     0 "MZ"   0x3C e_lfanew, the file offset of "PE\0\0" (32 bits)
//   "PE\0\0"       4 bytes, then the COFF file header (20 bytes), whose
//                  SizeOfOptionalHeader (16 bits) is at 16, so at PE + 20
//   optional header, at PE + 24:
//                  0 magic: 0x10B PE32, 0x20B PE32+
//                  64 CheckSum (32 bits, the same place in both)
//                  92 / 108 NumberOfRvaAndSizes (PE32 / PE32+)
//                  96 / 112 the data directories, 8 bytes each: address and
//                  size. Directory 4, the security directory, holds the
//                  file offset and size of the Authenticode certificate table.
//
// Every field comes from a file an attacker may have written. The headers
// are taken as well-formed only when "MZ" and "PE\0\0" are where they must
// be, the magic is one of the two, the optional header's size holds its
// fixed fields and every data directory the count announces, and the bytes
// at hand hold every field read; anything else is no PE image to this code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pe_image {
// The DOS header, which holds e_lfanew.
inline constexpr std::size_t kDosHeaderSize = 64;
// The most bytes from "PE\0\0" that ParsePeHeaders reads: up to the end of
// a PE32+ image's security directory entry.
inline constexpr std::size_t kHeadersReadSize = 24 + 112 + 5 * 8;
} // namespace pe_image

// What ParsePeHeaders finds; offsets count from the start of the file.
struct PeHeaderFields {
    std::uint64_t checksumOffset = 0;
    // The security directory entry (8 bytes); 0 when the image has fewer
    // than five data directories, and so none.
    std::uint64_t securityEntryOffset = 0;
    std::uint32_t certificateTableOffset = 0; // the entry's two fields
    std::uint32_t certificateTableSize = 0;
};

// True when the first size bytes of a file are a DOS header ("MZ"); peOffset
// receives its e_lfanew, which still has to be checked by ParsePeHeaders.
bool ReadPeOffset(const std::uint8_t* start, std::size_t size, std::uint32_t& peOffset);

// Reads the headers from the size bytes found at peOffset in the file (at
// most pe_image::kHeadersReadSize are needed). False when they are not
// well-formed PE headers as described above; fields is filled otherwise.
bool ParsePeHeaders(const std::uint8_t* headers, std::size_t size, std::uint32_t peOffset, PeHeaderFields& fields);

// True when the first size bytes of a file hold well-formed PE headers (as
// ParsePeHeaders takes them) of an x86 image, machine i386 (0x14C) or AMD64
// (0x8664; the machine field is the COFF header's first, at PE + 4): the
// content whose branches the x86 branch filter converts to good effect.
bool LooksLikePeExecutable(const std::uint8_t* start, std::size_t size);

// Makes bytes, a whole executable file, a clean unsigned image: its security
// directory entry names no certificate table (offset and size zero), and its
// CheckSum field holds the PE checksum of the bytes as they then are (the
// sum of their 16-bit little-endian words with every carry added back in, an
// odd last byte counting as a word of its own, the CheckSum field counting
// as zero, plus the file's length). Bytes that are not a well-formed PE
// image are left as they are.
void PrepareUnsignedExecutable(std::uint8_t* bytes, std::size_t size);
inline void PrepareUnsignedExecutable(std::string& bytes) {
    PrepareUnsignedExecutable(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
}
