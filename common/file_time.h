// File times and calendar times in the layout of their Win32 counterparts.
#pragma once

#include <cstdint>

// 100-nanosecond intervals since 1601-01-01 00:00 UTC, split like FILETIME
// (the two words are stored in this order in the installer archive).
struct FileTime {
    std::uint32_t lowDateTime = 0;
    std::uint32_t highDateTime = 0;

    static constexpr FileTime FromTicks(std::uint64_t ticks) {
        return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    }
    constexpr std::uint64_t Ticks() const { return (std::uint64_t{highDateTime} << 32) | lowDateTime; }
    friend constexpr bool operator==(const FileTime&, const FileTime&) = default;
};

// The three times every file carries.
struct FileTimes {
    FileTime creation;
    FileTime lastAccess;
    FileTime lastWrite;
};

// A calendar time with the fields of SYSTEMTIME.
struct CalendarTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;     // 1 to 12
    std::uint16_t dayOfWeek = 0; // 0 is Sunday
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;
};

// The current time as a file time.
FileTime CurrentFileTime();
// The current time in the local calendar; every field zero when the clock is
// beyond the calendar's range (texts then show zeros rather than garbage).
CalendarTime CurrentLocalTime();

// Conversions between file times and the local calendar (the time zone of the
// calling process). False, with the output untouched, for unrepresentable values.
bool FileTimeToLocalCalendar(FileTime time, CalendarTime& local);
bool LocalCalendarToFileTime(const CalendarTime& local, FileTime& time);
