// Conversions between file times and POSIX time values.
#pragma once

#include "common/file_time.h"

#include <ctime>

timespec TimespecFromFileTime(FileTime time);
FileTime FileTimeFromTimespec(const timespec& time);
