#include "log/appenders/null_appender.h"

const char* NullAppender::className() const { return "NullAppender"; }

bool NullAppender::appendLocked(const LoggingEvent&) { return true; }
