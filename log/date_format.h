// Dates as the layouts and the dated log files write them: three named
// formats and a small pattern language over a calendar time.
//
// Named formats (compared without regard to letter case):
//   "ISO8601" (also the empty pattern)  2010-05-09 07:36:04,123
//   "YY_MM_dd_HH_mm_ss"                 10-05-09 07:36:04
//   "ABSOLUTE"                          07:36:04,123
//
// Any other pattern is read left to right. Text between single quotes is
// copied (two quotes in a row inside give one quote; an unclosed literal runs
// to the end). Outside quotes each run of one repeated character is one
// field, converted by the character and the run length n:
//   y  year minus 2000 when n < 3, else the full year
//   M  n <= 2: month number; n = 3: "Jan." ...; n >= 4: "January" ...
//      (a month outside 1..12 gives "[UnknownMonth]")
//   d  day   H  hour 0-23   h  hour 1-12   m  minute   s  second
//   S  milliseconds
//   a  "AM" before noon, "PM" from 12 o'clock, once whatever n
//   any other character: written once, whatever n
// Numbers are zero-filled to n digits (a sign counts as one) and never cut.
// A month name shorter than n is written as it is, without any fill: a file
// name pattern "MMMMMMMMMM" gives "May", not "0000000May" or "       May".
//
// The formatter has no failure: every pattern gives some text, never longer
// than 14 bytes per pattern byte plus 64 (the widest field is "[UnknownMonth]").
#pragma once

#include "common/file_time.h"

#include <string>
#include <string_view>

// Appends time written by pattern to out. Pure.
void appendDate(std::string& out, std::string_view pattern, const CalendarTime& time);

// time written by pattern. Pure.
std::string formatDate(std::string_view pattern, const CalendarTime& time);

// The current local time (LogLocalTime) written by pattern.
std::string formatDate(std::string_view pattern = {});
