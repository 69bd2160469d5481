#include "tools/zorpack/reproducible_times.h"

#include <cstdint>

namespace zorpack {

namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01, where file times start, to 1970-01-01.
constexpr std::uint64_t kSecondsBeforeUnixEpoch = 11'644'473'600;
// The latest second a file time holds (Windows keeps them below 2^63 ticks).
constexpr std::uint64_t kLastSecond = (std::uint64_t{1} << 63) / kTicksPerSecond - kSecondsBeforeUnixEpoch;

std::optional<FileTime> FromUnixSeconds(const std::string& text) {
    if (text.empty() || text.size() > 19) return std::nullopt;
    std::uint64_t seconds = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') return std::nullopt;
        seconds = seconds * 10 + static_cast<unsigned>(digit - '0');
    }
    if (seconds > kLastSecond) return std::nullopt;
    return FileTime::FromTicks((seconds + kSecondsBeforeUnixEpoch) * kTicksPerSecond);
}

} // namespace

std::string ChooseTimeCeiling(const std::string& sourceDateEpoch, bool reproducible,
                              const std::vector<InputFile>& files, std::optional<FileTime>& ceiling) {
    ceiling.reset();
    if (!sourceDateEpoch.empty()) {
        ceiling = FromUnixSeconds(sourceDateEpoch);
        if (!ceiling)
            return "SOURCE_DATE_EPOCH is '" + sourceDateEpoch +
                   "', which is not a number of seconds since 1970-01-01 00:00 UTC";
        return {};
    }
    if (!reproducible) return {};
    ceiling = FileTime{};
    for (const InputFile& file : files)
        if (file.lastWrite.Ticks() > ceiling->Ticks()) ceiling = file.lastWrite;
    return {};
}

} // namespace zorpack
