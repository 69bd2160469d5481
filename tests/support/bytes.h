// Little-endian fields in test byte strings: to write records by hand and to
// read or damage the fields of files the product wrote.
#pragma once

#include "common/little_endian.h"

#include <cstddef>
#include <cstdint>
#include <string>

// The four bytes of value, as the formats store it.
inline std::string Le32(std::uint32_t value) {
    std::string bytes;
    AppendLittleEndian32(bytes, value);
    return bytes;
}

inline std::uint32_t Field32(const std::string& bytes, std::size_t offset) {
    return LoadLittleEndian32(reinterpret_cast<const std::uint8_t*>(bytes.data()) + offset);
}

inline void SetField32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    StoreLittleEndian32(value, reinterpret_cast<std::uint8_t*>(bytes.data()) + offset);
}
