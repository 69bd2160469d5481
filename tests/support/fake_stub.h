// A stand-in for the installer stub in builder tests: the smallest bytes
// zorpack takes as a Windows executable ("MZ", e_lfanew pointing at "PE\0\0"),
// followed by filler up to size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

inline std::string FakeStubImage(std::size_t size = 4096) {
    std::string image(size < 0x48 ? 0x48 : size, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = 0x40; // e_lfanew
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    for (std::size_t i = 0x44; i < image.size(); ++i) image[i] = static_cast<char>(i * 31 + 7);
    return image;
}

// The start of an AMD64 Windows executable as the x86 branch filter takes
// it (well-formed PE32+ headers, machine 0x8664), then size bytes of code
// with calls and jumps, near and far, among other bytes.
inline std::string X86ImageBytes(std::size_t size, unsigned seed = 1) {
    std::string image(0x200, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3C] = static_cast<char>(0x80);
    image.replace(0x80, 4, std::string("PE\0\0", 4));
    image[0x84] = static_cast<char>(0x64); // machine AMD64
    image[0x85] = static_cast<char>(0x86);
    image[0x80 + 20] = static_cast<char>(240); // SizeOfOptionalHeader
    image[0x98] = 0x0B;                        // magic 0x20B
    image[0x99] = 0x02;
    image[0x98 + 108] = 16; // NumberOfRvaAndSizes
    std::mt19937 random(seed);
    while (image.size() < 0x200 + size) {
        const unsigned kind = random() % 4;
        if (kind == 0) {
            image += static_cast<char>(random() % 2 ? 0xE8 : 0xE9);
            const std::uint32_t target = random() % 4096;
            const std::uint32_t displacement = target - static_cast<std::uint32_t>(image.size() + 4);
            for (int i = 0; i < 4; ++i) image += static_cast<char>(displacement >> (8 * i));
        } else {
            image += static_cast<char>(kind == 1 ? random() : 0x48 + random() % 4);
        }
    }
    image.resize(0x200 + size);
    return image;
}
