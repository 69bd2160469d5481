// The one line each command ends with when it succeeds.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace zorpack {

// Wall time since construction.
class Stopwatch {
public:
    double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// "<installer>: <n> files, <original> bytes -> <installer size> bytes (<ratio>%), <time> s"
// The ratio is the installer's size against the files' size (0% without data).
std::string BuildSummary(const std::string& installer, std::size_t files, std::uint64_t originalBytes,
                         std::uint64_t installerBytes, double seconds);

// "<installer>: <n> files, <bytes> bytes <verb> [to <directory>], <time> s"
std::string ReadSummary(const std::string& installer, std::size_t files, std::uint64_t bytes, const char* verb,
                        const std::string& directory, double seconds);

} // namespace zorpack
