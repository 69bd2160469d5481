#include "archive_test_support.h"

#include "archive/entry_name.h"
#include "archive/packed_toc.h"
#include "common/file_system.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

void Record(const char* text, std::uintptr_t user) { reinterpret_cast<LineRecorder*>(user)->lines.push_back(text); }

} // namespace

void LineRecorder::Attach(InstallerArchive& archive) {
    archive.SetProgressCallback(Record, reinterpret_cast<std::uintptr_t>(this));
}

bool LineRecorder::Contains(const std::string& line) const {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::uint8_t> FakeStub(std::size_t size) {
    std::vector<std::uint8_t> stub(size);
    stub[0] = 'M';
    stub[1] = 'Z';
    for (std::size_t i = 2; i < size; ++i) stub[i] = static_cast<std::uint8_t>(i * 31);
    return stub;
}

std::string BuildInstaller(const TempDir& dir, const std::vector<SourceFile>& files, bool compress,
                           std::size_t stubSize, const std::string& windowList, bool writeSources,
                           const std::vector<ExtensionPair>& extensions, const CompressionSettings& compression) {
    const std::string sources = dir / "src";
    CreateDirectoryTree(sources);
    InstallerArchive archive;
    archive.SetExtractorImage(FakeStub(stubSize));
    archive.SetFilePath(dir / "Setup.exe");
    archive.SetAppName("Hello");
    archive.SetVersion("1.2");
    archive.SetShortcutName("Hello App");
    archive.SetWindowList(windowList);
    archive.SetOptions(compress ? kDefaultOptions : kDefaultOptions & ~kCompressFiles);
    archive.SetExtensions(extensions);
    archive.SetCompression(compression);
    for (const SourceFile& file : files) {
        const std::string path = BuildPath(sources, NativeEntryPath(file.name), nullptr);
        if (writeSources) {
            CreateDirectoryTree(GetPathPart(path, kPathDirectory));
            dir.WriteFile("src" + std::string(1, PathSeparator()) + NativeEntryPath(file.name), file.content);
        }
        const bool inFolder = file.name.find(kEntrySeparator) != std::string::npos;
        EXPECT_TRUE(inFolder ? archive.AddFile(path, file.name) : archive.AddFile(path)) << path;
    }
    std::string error;
    EXPECT_TRUE(archive.MakeInstaller(&error)) << error;
    return dir / "Setup.exe";
}

Layout ReadLayout(const std::string& bytes) {
    Layout layout{};
    layout.tailer = bytes.size() - 64;
    layout.entryCount = Field32(bytes, layout.tailer + 24);
    layout.tocOffset = Field32(bytes, layout.tailer + 28);
    for (int i = 0; i < 4; ++i) {
        layout.stringOffset[i] = Field32(bytes, layout.tailer + 32 + 8 * i);
        layout.stringLength[i] = Field32(bytes, layout.tailer + 36 + 8 * i);
    }
    if (Field32(bytes, layout.tailer + 16) != archive_format::kLzmaFormatVersion)
        layout.records = RecordOffsets(bytes, layout.tocOffset, layout.entryCount);
    return layout;
}

std::vector<std::size_t> RecordOffsets(const std::string& records, std::size_t start, std::uint32_t count) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = start; offsets.size() < count; at += 60 + Field32(records, at + 20)) offsets.push_back(at);
    return offsets;
}

std::string UnpackedRecords(const std::string& bytes) {
    const Layout layout = ReadLayout(bytes);
    std::size_t at = layout.tocOffset;
    const LzmaSource read = [&](void* buffer, std::size_t count) {
        const std::size_t taken = std::min(count, layout.tailer - at);
        std::memcpy(buffer, bytes.data() + at, taken);
        at += taken;
        return taken;
    };
    PackedTocReader reader;
    EXPECT_TRUE(reader.Open(read));
    std::string records;
    char piece[4096];
    while (const std::size_t got = reader.Read(piece, sizeof piece)) records.append(piece, got);
    EXPECT_TRUE(reader.AtEnd());
    return records;
}

std::string WithRecords(const std::string& bytes, const std::string& records, bool pack) {
    const Layout layout = ReadLayout(bytes);
    std::string packed = pack ? "" : records;
    std::uint64_t packedSize = 0;
    const auto append = [&](const std::uint8_t* data, std::size_t count) {
        packed.append(reinterpret_cast<const char*>(data), count);
    };
    if (pack) {
        EXPECT_EQ(PackToc({records.begin(), records.end()}, append, packedSize), LzmaEncodeResult::Ok);
    }
    std::string crafted = bytes.substr(0, layout.tocOffset) + packed + bytes.substr(layout.stringOffset[0]);
    const auto shift = static_cast<std::uint32_t>(layout.tocOffset + packed.size() - layout.stringOffset[0]);
    for (int i = 0; i < 4; ++i) SetField32(crafted, crafted.size() - 64 + 32 + 8 * i, layout.stringOffset[i] + shift);
    return crafted;
}

std::string WithEntryName(const std::string& bytes, std::size_t index, const std::string& name) {
    const std::size_t record = ReadLayout(bytes).records[index];
    const std::size_t nameEnd = record + 60 + Field32(bytes, record + 20);
    std::string crafted = bytes.substr(0, record + 60) + name + '\0';
    SetField32(crafted, record + 20, static_cast<std::uint32_t>(name.size() + 1));
    const std::size_t shift = crafted.size() - nameEnd;
    crafted += bytes.substr(nameEnd);
    const std::size_t tailer = crafted.size() - 64;
    for (int i = 0; i < 4; ++i)
        SetField32(crafted, tailer + 32 + 8 * i,
                   static_cast<std::uint32_t>(Field32(crafted, tailer + 32 + 8 * i) + shift));
    return crafted;
}

std::vector<std::string> ListFiles(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory))
        names.push_back(std::filesystem::relative(entry.path(), directory).string());
    std::sort(names.begin(), names.end());
    return names;
}
