// The one place that includes <windows.h>. Only *_win32.cpp files include it;
// portable code reaches the operating system through the headers of common/.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
