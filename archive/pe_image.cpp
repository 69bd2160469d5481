#include "archive/pe_image.h"

#include "common/little_endian.h"

#include <cstring>

using namespace pe_image;

namespace {

constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::size_t kSizeOfOptionalHeader = 20; // from "PE\0\0"
constexpr std::size_t kOptionalHeader = 24;       // from "PE\0\0"
constexpr std::size_t kChecksumField = 64;        // from the optional header
constexpr std::size_t kSecurityDirectory = 4;
constexpr std::size_t kDirectoryEntrySize = 8;

// The checksum over the whole of bytes, as the CheckSum field holds it when
// the field itself reads zero.
std::uint32_t PeChecksum(const std::uint8_t* bytes, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < size; at += 2) {
        sum += at + 1 < size ? LoadLittleEndian16(bytes + at) : bytes[at];
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return sum + static_cast<std::uint32_t>(size);
}

} // namespace

bool ReadPeOffset(const std::uint8_t* start, std::size_t size, std::uint32_t& peOffset) {
    if (size < kDosHeaderSize || start[0] != 'M' || start[1] != 'Z') return false;
    peOffset = LoadLittleEndian32(start + kPeOffsetField);
    return true;
}

bool ParsePeHeaders(const std::uint8_t* headers, std::size_t size, std::uint32_t peOffset, PeHeaderFields& fields) {
    if (size < kOptionalHeader + 2 || std::memcmp(headers, "PE\0\0", 4) != 0) return false;
    const std::uint8_t* optional = headers + kOptionalHeader;
    const std::uint32_t magic = LoadLittleEndian16(optional);
    if (magic != 0x10B && magic != 0x20B) return false;
    const std::size_t directories = magic == 0x10B ? 96 : 112;
    if (size < kOptionalHeader + directories) return false;
    const std::uint64_t count = LoadLittleEndian32(optional + directories - 4);
    if (LoadLittleEndian16(headers + kSizeOfOptionalHeader) < directories + count * kDirectoryEntrySize) return false;
    PeHeaderFields found;
    found.checksumOffset = std::uint64_t{peOffset} + kOptionalHeader + kChecksumField;
    if (count > kSecurityDirectory) {
        const std::size_t entry = kOptionalHeader + directories + kSecurityDirectory * kDirectoryEntrySize;
        if (size < entry + kDirectoryEntrySize) return false;
        found.securityEntryOffset = std::uint64_t{peOffset} + entry;
        found.certificateTableOffset = LoadLittleEndian32(headers + entry);
        found.certificateTableSize = LoadLittleEndian32(headers + entry + 4);
    }
    fields = found;
    return true;
}

bool LooksLikePeExecutable(const std::uint8_t* start, std::size_t size) {
    constexpr std::size_t kMachineField = 4; // from "PE\0\0"
    std::uint32_t peOffset = 0;
    PeHeaderFields fields;
    if (!ReadPeOffset(start, size, peOffset) || peOffset > size ||
        !ParsePeHeaders(start + peOffset, size - peOffset, peOffset, fields))
        return false;
    const std::uint32_t machine = LoadLittleEndian16(start + peOffset + kMachineField);
    return machine == 0x14C || machine == 0x8664;
}

void PrepareUnsignedExecutable(std::uint8_t* data, std::size_t size) {
    std::uint32_t peOffset = 0;
    PeHeaderFields fields;
    if (!ReadPeOffset(data, size, peOffset) || peOffset > size ||
        !ParsePeHeaders(data + peOffset, size - peOffset, peOffset, fields))
        return;
    if (fields.securityEntryOffset != 0) std::memset(data + fields.securityEntryOffset, 0, kDirectoryEntrySize);
    StoreLittleEndian32(0, data + fields.checksumOffset);
    StoreLittleEndian32(PeChecksum(data, size), data + fields.checksumOffset);
}
