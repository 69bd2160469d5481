// The extension block between an installer's strings and its tailer: keyed
// settings the tailer has no field for (layout in archive_format.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ExtensionPair {
    std::string key;
    std::string value;
};

// The block's bytes for pairs, in their order; pairs must be acceptable to
// ExtensionBlockProblem's checks (the builder checks them first). Empty pairs
// give no block at all.
std::string EncodeExtensionBlock(const std::vector<ExtensionPair>& pairs);

// Reads a block of size bytes into pairs. Empty when the block is sound;
// otherwise why it is refused, as the end of a sentence ("has a pair cut
// short", ...), and pairs is left empty. Nothing is allocated beyond what the
// block holds: counts and lengths are checked against the bytes left first.
// The values of known keys are checked too (install_folder.h).
std::string ParseExtensionBlock(const std::uint8_t* bytes, std::size_t size, std::vector<ExtensionPair>& pairs);

// Empty when the pairs could be written as a block: keys well-formed and
// unique, values UTF-8 without NULs, known values valid, the whole within
// the block's size limit.
std::string ExtensionPairsProblem(const std::vector<ExtensionPair>& pairs);
