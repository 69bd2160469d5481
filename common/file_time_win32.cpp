#include "common/file_time.h"
#include "common/windows_api.h"

namespace {

FILETIME ToWin32(FileTime time) { return {time.lowDateTime, time.highDateTime}; }
FileTime FromWin32(const FILETIME& time) { return {time.dwLowDateTime, time.dwHighDateTime}; }

SYSTEMTIME ToWin32(const CalendarTime& t) {
    return {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds};
}

CalendarTime FromWin32(const SYSTEMTIME& t) {
    return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

} // namespace

FileTime CurrentFileTime() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return FromWin32(now);
}

CalendarTime CurrentLocalTime() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return FromWin32(now);
}

bool FileTimeToLocalCalendar(FileTime time, CalendarTime& local) {
    FILETIME utc = ToWin32(time), localTime;
    SYSTEMTIME calendar;
    if (!::FileTimeToLocalFileTime(&utc, &localTime) || !::FileTimeToSystemTime(&localTime, &calendar)) return false;
    local = FromWin32(calendar);
    return true;
}

bool LocalCalendarToFileTime(const CalendarTime& local, FileTime& time) {
    SYSTEMTIME calendar = ToWin32(local);
    FILETIME localTime, utc;
    if (!::SystemTimeToFileTime(&calendar, &localTime) || !::LocalFileTimeToFileTime(&localTime, &utc)) return false;
    time = FromWin32(utc);
    return true;
}
