// Test helper: compresses SOURCE through a default temporary "!ZQM" file,
// several times over to stretch the time it is in use, and expands it into
// OUTPUT. Exit code 0 on success.
#include "compress/compressed_file.h"

#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    for (int round = 0; round < 3; ++round) {
        CompressedFile packer(argv[1]);
        std::string error;
        if (!packer.Compress(&error)) return 3;
        CompressedFile unpacker(argv[2], packer.GetCompressedPath());
        if (!unpacker.Expand(nullptr, nullptr, nullptr, &error)) return 4;
        if (unpacker.GetOriginalSize() != packer.GetOriginalSize()) return 5;
    }
    return 0;
}
