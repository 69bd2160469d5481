#include "log/appenders/console_appender.h"

#include <cstdio>

const char* ConsoleAppender::className() const { return "ConsoleAppender"; }

void ConsoleAppender::write(std::string_view text, const LoggingEvent*) {
    // The whole text, a NUL inside it included.
    std::fwrite(text.data(), 1, text.size(), stdout);
}
