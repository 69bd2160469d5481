#include "common/file_time_posix.h"
#include "common/file_time.h"

#include <cstdint>
#include <ctime>

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 (the file-time epoch) to 1970-01-01 (the POSIX epoch).
constexpr std::int64_t kEpochDifference = 11'644'473'600;

bool ValidCalendar(const CalendarTime& t) {
    return t.year >= 1601 && t.year <= 30827 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 &&
           t.hour < 24 && t.minute < 60 && t.second < 60 && t.milliseconds < 1000;
}

} // namespace

timespec TimespecFromFileTime(FileTime time) {
    const std::int64_t ticks = static_cast<std::int64_t>(time.Ticks() & INT64_MAX);
    timespec result{};
    result.tv_sec = static_cast<time_t>(ticks / kTicksPerSecond - kEpochDifference);
    result.tv_nsec = static_cast<long>(ticks % kTicksPerSecond * 100);
    return result;
}

FileTime FileTimeFromTimespec(const timespec& time) {
    const std::int64_t seconds = static_cast<std::int64_t>(time.tv_sec) + kEpochDifference;
    if (seconds < 0) return {};
    return FileTime::FromTicks(static_cast<std::uint64_t>(seconds * kTicksPerSecond + time.tv_nsec / 100));
}

FileTime CurrentFileTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return FileTimeFromTimespec(now);
}

CalendarTime CurrentLocalTime() {
    CalendarTime now;
    FileTimeToLocalCalendar(CurrentFileTime(), now);
    return now;
}

bool FileTimeToLocalCalendar(FileTime time, CalendarTime& local) {
    if (time.Ticks() > static_cast<std::uint64_t>(INT64_MAX)) return false;
    const timespec posixTime = TimespecFromFileTime(time);
    tm fields{};
    if (localtime_r(&posixTime.tv_sec, &fields) == nullptr) return false;
    if (fields.tm_year + 1900 < 1601 || fields.tm_year + 1900 > 30827) return false;
    local.year = static_cast<std::uint16_t>(fields.tm_year + 1900);
    local.month = static_cast<std::uint16_t>(fields.tm_mon + 1);
    local.dayOfWeek = static_cast<std::uint16_t>(fields.tm_wday);
    local.day = static_cast<std::uint16_t>(fields.tm_mday);
    local.hour = static_cast<std::uint16_t>(fields.tm_hour);
    local.minute = static_cast<std::uint16_t>(fields.tm_min);
    local.second = static_cast<std::uint16_t>(fields.tm_sec);
    local.milliseconds = static_cast<std::uint16_t>(posixTime.tv_nsec / 1'000'000);
    return true;
}

bool LocalCalendarToFileTime(const CalendarTime& local, FileTime& time) {
    if (!ValidCalendar(local)) return false;
    tm fields{};
    fields.tm_year = local.year - 1900;
    fields.tm_mon = local.month - 1;
    fields.tm_mday = local.day;
    fields.tm_hour = local.hour;
    fields.tm_min = local.minute;
    fields.tm_sec = local.second;
    fields.tm_isdst = -1;
    const time_t seconds = mktime(&fields);
    if (seconds == static_cast<time_t>(-1) && fields.tm_year != 69) return false;
    time = FileTimeFromTimespec({seconds, static_cast<long>(local.milliseconds) * 1'000'000});
    return true;
}
