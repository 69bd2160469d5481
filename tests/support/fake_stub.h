// A stand-in for the installer stub in builder tests: the smallest bytes
// zorpack takes as a Windows executable ("MZ", e_lfanew pointing at "PE\0\0"),
// followed by filler up to size.
#pragma once

#include <cstddef>
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
