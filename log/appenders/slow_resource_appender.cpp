#include "log/appenders/slow_resource_appender.h"

#include "common/text_utils.h"
#include "log/log_platform.h"

namespace {

void SleepMilliseconds(std::int32_t milliseconds) {
    if (milliseconds > 0) LogSleepMilliseconds(static_cast<std::uint32_t>(milliseconds));
}

} // namespace

const char* SlowResourceAppender::className() const { return "SlowResourceAppender"; }

bool SlowResourceAppender::setParam(const std::string& name, const std::string& value) {
    if (ConsoleAppender::setParam(name, value)) return true;
    if (!EqualsIgnoringCase(name, "TimeOut")) return false;
    timeOut_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt64(value)));
    return true;
}

std::string SlowResourceAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "TimeOut")) return UIntToText(static_cast<std::uint32_t>(timeOut_));
    return ConsoleAppender::getParam(name);
}

bool SlowResourceAppender::appendLocked(const LoggingEvent& event) {
    SleepMilliseconds(timeOut_ / 2);
    ConsoleAppender::appendLocked(event);
    SleepMilliseconds(timeOut_ / 2);
    return true;
}
