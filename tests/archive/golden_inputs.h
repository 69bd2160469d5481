// Fixed inputs of the byte-identity test: contents from a seeded generator
// and fixed times, so that any build of the archive writes the same bytes.
#pragma once

#include "archive/installer_archive.h"
#include "common/file.h"
#include "common/path.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace golden {

struct Input {
    const char* name;
    std::size_t size;
    int kind; // 0 text, 1 random, 2 zeros
};

inline constexpr Input kInputs[] = {
    {"App.exe", 200000, 1},  {"empty.txt", 0, 0},        {"readme.txt", 30000, 0},
    {"exact.bin", 65536, 2}, {"one-more.bin", 65537, 0}, {"nine-chunks.dat", 8 * 65536 + 100, 0},
};

inline std::string Content(const Input& input, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(input.size, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (input.kind == 1)
            bytes[i] = static_cast<char>(random() & 0xFF);
        else if (input.kind == 0)
            bytes[i] = "the quick brown fox jumps over a lazy dog\n"[(random() % 7 == 0 ? random() : i) % 42];
    }
    return bytes;
}

inline std::vector<std::uint8_t> Stub() {
    std::vector<std::uint8_t> stub(3000);
    for (std::size_t i = 0; i < stub.size(); ++i) stub[i] = static_cast<std::uint8_t>(i * 13 + 1);
    stub[0] = 'M';
    stub[1] = 'Z';
    return stub;
}

// Writes the inputs into directory with fixed times, then builds setup from
// them (compressed or stored) and returns whether that succeeded.
inline bool Build(const std::string& directory, const std::string& setup, bool compress) {
    InstallerArchive archive;
    archive.SetExtractorImage(Stub());
    archive.SetFilePath(setup);
    archive.SetAppName("Golden");
    archive.SetVersion("2.0");
    archive.SetShortcutName("Golden App");
    archive.SetWindowList("Golden;Golden - Main");
    archive.SetOptions(compress ? 0x01FF0002u : 0x01550000u);
    std::uint32_t seed = 1;
    for (const Input& input : kInputs) {
        const std::string path = BuildPath(directory, input.name, nullptr);
        const std::string content = Content(input, seed++);
        CFile file;
        if (!file.Create(path)) return false;
        file.Write(content.data(), content.size());
        const FileTime time = FileTime::FromTicks(132000000000000000ull + seed * 10000000ull);
        file.SetFileTimes(&time, &time, &time);
        file.Close();
        if (!archive.AddFile(path)) return false;
    }
    return archive.MakeInstaller();
}

} // namespace golden
