// Time-stamp and date texts in local time: the prefixes of log lines and the
// dates shown for files. Each text comes in two forms: a pure one that formats
// a given calendar time (what the tests pin down) and one that reads the clock.
#pragma once

#include "common/file_time.h"

#include <string>

// The short (French) day name for a day of the week, 0 being Sunday; "Inc"
// for any index of 7 or more.
const char* DayNameText(unsigned dayOfWeek);

// "Lun 07/12/2026 09:05:03" (day name, day, month, year, hour, minute,
// second), with ".042" milliseconds appended when withMilliseconds is set.
std::string FormatTimeStamp(const CalendarTime& time, bool withMilliseconds);
// FormatTimeStamp of time, or of the current local time when time is null.
std::string GetTimeStampText(const CalendarTime* time = nullptr, bool withMilliseconds = false);

// "2026-12-07" with dashed set, "20261207" without.
std::string FormatDateText(const CalendarTime& time, bool dashed);
// FormatDateText of today in local time.
std::string GetDateText(bool dashed);

// The last-write date of path in local time, "07/12/2026" (day, month, year);
// "!FindFirstFile" when the file's directory entry cannot be read.
std::string GetFileDateText(const std::string& path);
// GetFileDateText of the program's own executable; "!GetModuleFileName "
// followed by LastErrorText when the executable's path cannot be obtained.
std::string GetModuleDateText();
