#include "common/time_stamps.h"

#include "common/error_texts.h"
#include "common/file_system.h"
#include "common/string_format.h"
#include "common/system_info.h"

const char* DayNameText(unsigned dayOfWeek) {
    static constexpr const char* kDayNames[] = {"Dim", "Lun", "Mar", "Mer", "Jeu", "Ven", "Sam"};
    return dayOfWeek < 7 ? kDayNames[dayOfWeek] : "Inc";
}

std::string FormatTimeStamp(const CalendarTime& time, bool withMilliseconds) {
    const char* day = DayNameText(time.dayOfWeek);
    if (withMilliseconds)
        return StringFormat("%s %02d/%02d/%04d %02d:%02d:%02d.%03d", day, time.day, time.month, time.year, time.hour,
                            time.minute, time.second, time.milliseconds);
    return StringFormat("%s %02d/%02d/%04d %02d:%02d:%02d", day, time.day, time.month, time.year, time.hour,
                        time.minute, time.second);
}

std::string GetTimeStampText(const CalendarTime* time, bool withMilliseconds) {
    return FormatTimeStamp(time ? *time : CurrentLocalTime(), withMilliseconds);
}

std::string FormatDateText(const CalendarTime& time, bool dashed) {
    if (dashed) return StringFormat("%04d-%02d-%02d", time.year, time.month, time.day);
    return StringFormat("%04d%02d%02d", time.year, time.month, time.day);
}

std::string GetDateText(bool dashed) { return FormatDateText(CurrentLocalTime(), dashed); }

std::string GetFileDateText(const std::string& path) {
    FileDetails details;
    CalendarTime local;
    if (!GetFileDetails(path, details) || !FileTimeToLocalCalendar(details.times.lastWrite, local))
        return "!FindFirstFile";
    return StringFormat("%02d/%02d/%04d", local.day, local.month, local.year);
}

std::string GetModuleDateText() {
    const std::string path = GetModulePath();
    if (path.empty()) return std::string("!GetModuleFileName ") + LastErrorText();
    return GetFileDateText(path);
}
