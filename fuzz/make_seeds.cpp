// Writes seed corpora made by the encoder and the builder: "!ZQM" files for
// fuzz_expand, raw chunk streams for fuzz_decode_chunk (prefixed with the
// piece-size byte) and small installers for fuzz_installer.
// Usage: fuzz_make_seeds EXPAND_DIR DECODE_DIR INSTALLER_DIR
#include "archive/installer_archive.h"
#include "compress/compressed_file.h"
#include "compress/deflate_codec.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

bool WriteFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    return std::fclose(file) == 0;
}

std::vector<Bytes> Samples() {
    std::mt19937 random(1);
    Bytes text;
    const std::string sentence = "ZorInstaller extracts every file and checks its digest. ";
    while (text.size() < 3000) text.insert(text.end(), sentence.begin(), sentence.end());
    Bytes noise(700);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    Bytes mixed = text;
    mixed.insert(mixed.end(), noise.begin(), noise.end());
    mixed.insert(mixed.end(), text.begin(), text.begin() + 500);
    return {Bytes{'a'}, text, Bytes(1000, 0), noise, mixed, Bytes(70000, 'x')};
}

} // namespace

// Two installers, compressed and stored, holding a few of the samples.
bool WriteInstallers(const std::string& directory) {
    const std::string sources[] = {directory + "/App.exe", directory + "/notes.txt"};
    const std::vector<Bytes> samples = Samples();
    if (!WriteFile(sources[0], samples[1]) || !WriteFile(sources[1], samples[4])) return false;
    bool ok = true;
    for (std::uint32_t options : {0x01FF0002u, 0x01FF0000u}) {
        InstallerArchive archive;
        archive.SetExtractorImage(Bytes{'M', 'Z', 0x90, 0, 3, 0, 0, 0});
        archive.SetFilePath(directory + "/setup-" + std::to_string(options));
        archive.SetAppName("Fuzz");
        archive.SetVersion("1.0");
        archive.SetShortcutName("Fuzz");
        archive.SetWindowList("Fuzz;Fuzz -");
        archive.SetOptions(options);
        ok = ok && archive.AddFile(sources[0]) && archive.AddFile(sources[1]) && archive.MakeInstaller();
    }
    for (const std::string& source : sources) std::remove(source.c_str());
    return ok;
}

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    if (!WriteInstallers(argv[3])) return 1;
    int index = 0;
    for (const Bytes& sample : Samples()) {
        const std::string name = "/seed" + std::to_string(index++);
        const std::string source = std::string(argv[1]) + name + ".src";
        if (!WriteFile(source, sample)) return 1;
        CompressedFile compressed(source, std::string(argv[1]) + name);
        const bool ok = compressed.Compress();
        std::remove(source.c_str());
        if (!ok) return 1;

        DeflateCodec codec;
        Bytes stream{0}, chunk;
        for (std::size_t at = 0; at < sample.size(); at += 1000) {
            codec.EncodeChunk(sample.data() + at, std::min<std::size_t>(1000, sample.size() - at), chunk);
            stream.insert(stream.end(), chunk.begin(), chunk.end());
        }
        if (!WriteFile(std::string(argv[2]) + name, stream)) return 1;
        stream[0] = 7; // the same stream in pieces of 7 bytes
        if (!WriteFile(std::string(argv[2]) + name + "-pieces", stream)) return 1;
    }
    return 0;
}
