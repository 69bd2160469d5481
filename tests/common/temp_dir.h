// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
#pragma once

#include "common/path.h"
#include "common/system_info.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ = BuildPath(GetTempDirectory(), "zortest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++),
                          nullptr);
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The path of name inside this directory.
    std::string operator/(std::string_view name) const { return BuildPath(path_, name, nullptr); }

    // Writes content to name inside this directory and returns its path.
    std::string WriteFile(std::string_view name, std::string_view content) const {
        const std::string file = *this / name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::string path_;
};

// The whole content of a file, or "<missing>".
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The names in directory (files and directories, not below them), sorted.
inline std::vector<std::string> NamesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
