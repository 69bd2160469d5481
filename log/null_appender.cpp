#include "log/null_appender.h"

const char* NullAppender::className() const { return "NullAppender"; }

void NullAppender::write(const std::string&, const LoggingEvent*) {}
