// Expands arbitrary bytes as a "!ZQM" file: the path every data block of an
// installer takes on its way to the disk.
#include "compress/compressed_file.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchPath(const char* name) {
    const char* directory = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(directory) + "/zor-fuzz-" + std::to_string(getpid()) + "-" + name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string packed = ScratchPath("in.zqm");
    static const std::string output = ScratchPath("out.bin");
    std::FILE* file = std::fopen(packed.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    CompressedFile compressed(output, packed);
    std::string error;
    compressed.Expand(nullptr, nullptr, nullptr, &error);
    return 0;
}
