// Writes seed corpora made by the encoder and the builder: "!ZQM" files for
// fuzz_expand, raw chunk streams for fuzz_decode_chunk (prefixed with the
// piece-size byte) and small installers for fuzz_installer, one of them laid
// out as a code-signed file (certificate table after the archive), one with
// entries in folders.
// Usage: fuzz_make_seeds EXPAND_DIR DECODE_DIR INSTALLER_DIR
#include "archive/installer_archive.h"
#include "compress/compressed_file.h"
#include "compress/deflate_codec.h"
#include "uninstall/uninstall_record.h"

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

void Store32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// An extractor image with just the PE32+ headers the loader reads to find a
// certificate table: e_lfanew 0x40, 240-byte optional header, 16 directories.
Bytes PeStub() {
    Bytes stub(0x200, 0);
    stub[0] = 'M';
    stub[1] = 'Z';
    Store32(stub, 0x3C, 0x40);
    stub[0x40] = 'P';
    stub[0x41] = 'E';
    stub[0x40 + 20] = 240;
    stub[0x58] = 0x0B;
    stub[0x59] = 0x02;
    Store32(stub, 0x58 + 108, 16);
    return stub;
}

// Pads the file at path to 8 bytes with zeros, appends a small certificate
// table and names it in the security directory, as a signing tool does.
bool SignInPlace(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    Bytes bytes;
    for (int c; (c = std::fgetc(file)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(file);
    bytes.resize((bytes.size() + 7) / 8 * 8, 0);
    const std::size_t table = bytes.size();
    bytes.resize(table + 16, 0x30);
    Store32(bytes, table, 16);
    Store32(bytes, table + 4, 0x00020200);
    Store32(bytes, 0x58 + 112 + 32, static_cast<std::uint32_t>(table));
    Store32(bytes, 0x58 + 112 + 36, 16);
    return WriteFile(path, bytes);
}

} // namespace

// Five installers, compressed, stored, compressed and signed, compressed with
// an extension block, and compressed with its entries in folders, holding a
// few of the samples.
bool WriteInstallers(const std::string& directory) {
    const std::string sources[] = {directory + "/App.exe", directory + "/notes.txt"};
    const std::vector<Bytes> samples = Samples();
    if (!WriteFile(sources[0], samples[1]) || !WriteFile(sources[1], samples[4])) return false;
    bool ok = true;
    const struct {
        std::uint32_t options;
        bool sign;
        bool extended;
        bool folders;
    } kinds[] = {{0x01FF0002u, false, false, false},
                 {0x01FF0000u, false, false, false},
                 {0x01FF0002u, true, false, false},
                 {0x01FF0002u, false, true, false},
                 {0x01FF0002u, false, false, true}};
    for (const auto& kind : kinds) {
        const bool sign = kind.sign;
        const std::string path = directory + "/setup-" + std::to_string(kind.options) + (sign ? "-signed" : "") +
                                 (kind.extended ? "-extension" : "") + (kind.folders ? "-folders" : "");
        InstallerArchive archive;
        archive.SetExtractorImage(sign ? PeStub() : Bytes{'M', 'Z', 0x90, 0, 3, 0, 0, 0});
        archive.SetFilePath(path);
        archive.SetAppName("Fuzz");
        archive.SetVersion("1.0");
        archive.SetShortcutName("Fuzz");
        archive.SetWindowList("Fuzz;Fuzz -");
        archive.SetOptions(kind.options);
        if (kind.extended)
            archive.SetExtensions(
                {{"publisher", "Fuzz Works"}, {"install-dir", "{ProgramFiles}\\{Publisher}\\{AppName}"}});
        const bool added = kind.folders ? archive.AddFile(sources[0], "bin\\App.exe") &&
                                              archive.AddFile(sources[1], "doc\\en\\notes.txt")
                                        : archive.AddFile(sources[0]) && archive.AddFile(sources[1]);
        ok = ok && added && archive.MakeInstaller() && (!sign || SignInPlace(path));
    }
    for (const std::string& source : sources) std::remove(source.c_str());
    return ok;
}

// Seeds of the uninstall record target: whole records after a stand-in
// image, and the bare bodies the target also wraps in a matching trailer.
bool WriteUninstallRecords(const std::string& directory) {
    UninstallRecord record;
    record.appName = "Hello";
    record.version = "1.0";
    record.publisher = "Acme";
    record.uninstallKey = "Acme Hello";
    record.appPathsName = "hello.exe";
    record.files = {"bin\\hello.exe", "readme.txt", "data\\fr\\texts.txt"};
    record.shortcuts = {
        {2, "Acme\\Hello.lnk"}, {0, "Hello.lnk"}, {26, "Microsoft\\Internet Explorer\\Quick Launch\\Hello.lnk"}};
    const std::string whole = EncodeUninstallRecord(record);
    const std::string body = whole.substr(0, whole.size() - uninstall_format::kTrailerSize);
    return WriteFile(directory + "/record", Bytes(whole.begin(), whole.end())) &&
           WriteFile(directory + "/body", Bytes(body.begin(), body.end()));
}

int main(int argc, char** argv) {
    if (argc != 5) return 2;
    if (!WriteInstallers(argv[3])) return 1;
    if (!WriteUninstallRecords(argv[4])) return 1;
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
