#include "log/appenders/win32_debug_appender.h"

#include "log/log_platform.h"

const char* Win32DebugAppender::className() const { return "Win32DebugAppender"; }

void Win32DebugAppender::write(std::string_view text, const LoggingEvent*) { WriteDebugOutput(text); }
