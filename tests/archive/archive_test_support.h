// Building and taking apart installer files in tests.
#pragma once

#include "archive/installer_archive.h"
#include "tests/common/temp_dir.h"
#include "tests/support/bytes.h"

#include <cstdint>
#include <string>
#include <vector>

// Collects the progress lines of an archive.
struct LineRecorder {
    std::vector<std::string> lines;
    void Attach(InstallerArchive& archive);
    bool Contains(const std::string& line) const;
};

// A stand-in for the extractor executable.
std::vector<std::uint8_t> FakeStub(std::size_t size = 1000);

struct SourceFile {
    std::string name;
    std::string content;
};

// Writes the sources into dir/src (unless they are there already, with their
// times) and builds dir/Setup.exe from them, with an extension block when
// extensions are given. A name with folders ("doc\en\readme.txt") is
// written below the same folders of src and stored as it is.
std::string BuildInstaller(const TempDir& dir, const std::vector<SourceFile>& files, bool compress = true,
                           std::size_t stubSize = 1000, const std::string& windowList = "App;App -",
                           bool writeSources = true, const std::vector<ExtensionPair>& extensions = {},
                           const CompressionSettings& compression = {});

// Offsets of the parts of an installer held in memory.
struct Layout {
    std::uint32_t entryCount, tocOffset;
    std::uint32_t stringOffset[4], stringLength[4];
    std::size_t tailer;
    std::vector<std::size_t> records; // offset of each TOC record; none when packed (LZMA)
};
Layout ReadLayout(const std::string& bytes);

// The records of an LZMA installer's packed TOC, and the installer with them
// replaced by records, packed unless told (the strings after the TOC move).
std::string UnpackedRecords(const std::string& bytes);
std::string WithRecords(const std::string& bytes, const std::string& records, bool pack = true);
// The offsets of the first count records in records.
std::vector<std::size_t> RecordOffsets(const std::string& records, std::size_t start, std::uint32_t count);

// The installer held in bytes with the name of entry index replaced by name
// (any bytes): the record's name length and the offsets of the strings after
// it move with it, so the file stays well-formed around the crafted name.
std::string WithEntryName(const std::string& bytes, std::size_t index, const std::string& name);

// Every file below directory, relative names, sorted.
std::vector<std::string> ListFiles(const std::string& directory);
