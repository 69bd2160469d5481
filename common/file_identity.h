#pragma once

#include <cstdint>

// What tells files apart whatever path names them: device and inode on POSIX,
// volume serial number and file index on Windows. Two paths name the same
// file (through links, or different spellings) exactly when their identities
// are equal.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};
