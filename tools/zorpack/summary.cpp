#include "tools/zorpack/summary.h"

#include "common/string_format.h"

namespace zorpack {

namespace {

const char* Plural(std::size_t count) { return count == 1 ? "" : "s"; }

} // namespace

std::string BuildSummary(const std::string& installer, std::size_t files, std::uint64_t originalBytes,
                         std::uint64_t installerBytes, double seconds) {
    const double ratio = originalBytes == 0 ? 0.0 : 100.0 * static_cast<double>(installerBytes) / originalBytes;
    return StringFormat("%s: %zu file%s, %llu bytes -> %llu bytes (%.1f%%), %.2f s", installer.c_str(), files,
                        Plural(files), static_cast<unsigned long long>(originalBytes),
                        static_cast<unsigned long long>(installerBytes), ratio, seconds);
}

std::string ReadSummary(const std::string& installer, std::size_t files, std::uint64_t bytes, const char* verb,
                        const std::string& directory, double seconds) {
    std::string line = StringFormat("%s: %zu file%s, %llu bytes %s", installer.c_str(), files, Plural(files),
                                    static_cast<unsigned long long>(bytes), verb);
    if (!directory.empty()) line += " to " + directory;
    return line + StringFormat(", %.2f s", seconds);
}

} // namespace zorpack
