// Loads arbitrary bytes as an installer and extracts it, as the installer
// does with its own file: the tailer, TOC, strings and data blocks of a
// hostile file. Extraction goes into a scratch directory that is emptied
// after each run; a file anywhere else would be a fault. The same bytes are
// then made into an unsigned image, as an uninstaller's are, which may
// change at most the 12 bytes of two header fields.
#include "archive/installer_archive.h"
#include "archive/pe_image.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchDirectory() {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    const std::string directory = std::string(base) + "/zor-fuzz-installer-" + std::to_string(getpid());
    std::filesystem::create_directories(directory + "/out");
    return directory;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string directory = ScratchDirectory();
    static const std::string setup = directory + "/Setup.exe";
    static const std::string out = directory + "/out";
    std::FILE* file = std::fopen(setup.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    InstallerArchive archive;
    archive.SetFilePath(setup);
    if (archive.LoadInstaller()) {
        archive.GetFirstFileName();
        while (!archive.GetNextFileName().empty()) {
        }
        archive.ExtractFiles(out);
    }
    std::size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        (void)entry;
        ++entries;
    }
    if (entries != 2) std::abort(); // Setup.exe and out: nothing else may appear
    for (const auto& entry : std::filesystem::directory_iterator(out)) std::filesystem::remove_all(entry.path());

    std::string image(reinterpret_cast<const char*>(data), size);
    PrepareUnsignedExecutable(image);
    std::size_t changed = 0;
    for (std::size_t i = 0; i < size; ++i) changed += image[i] != static_cast<char>(data[i]);
    if (image.size() != size || changed > 12) std::abort();
    return 0;
}
