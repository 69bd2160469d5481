// The local time that date patterns and dated log files read.
//
// Everything in the logging framework that needs the wall clock asks
// LogLocalTime, so tests can install a clock of their own and no result
// depends on when it runs.
#pragma once

#include "common/file_time.h"

using LogClockFunction = CalendarTime (*)();

// The current local time from the installed clock (the system's by default).
CalendarTime LogLocalTime();

// Installs clock, or the system's for null; returns the clock it replaces.
// Safe to call while other threads log, though tests install theirs first.
LogClockFunction SetLogClock(LogClockFunction clock);
