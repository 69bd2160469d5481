// Little-endian integers in byte buffers, as the system's file formats store
// them. The loads take any alignment; on the little-endian machines the
// system runs on they compile to one plain load, which the codecs' inner
// loops rely on.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>

static_assert(std::endian::native == std::endian::little,
              "the word loads of the codecs and formats read little-endian bytes as they lie");

inline std::uint32_t LoadLittleEndian16(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8;
}

inline std::uint32_t LoadLittleEndian32(const std::uint8_t* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline std::uint64_t LoadLittleEndian64(const std::uint8_t* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline void StoreLittleEndian16(std::uint32_t value, std::uint8_t* bytes) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void StoreLittleEndian32(std::uint32_t value, std::uint8_t* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Appends the four bytes of value to a record being encoded.
inline void AppendLittleEndian32(std::string& bytes, std::uint32_t value) {
    std::uint8_t field[4];
    StoreLittleEndian32(value, field);
    bytes.append(reinterpret_cast<const char*>(field), sizeof field);
}
