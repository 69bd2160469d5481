#include "log/appenders/event_source.h"

#include <syslog.h>

namespace {

constexpr int kSyslogLevels[] = {LOG_ERR, LOG_WARNING, LOG_INFO};

} // namespace

// openlog would change the identity of the whole process, so the source
// name travels in each message instead.
bool EventSource::registerSource(const std::string& name) {
    if (isRegistered()) return true;
    name_ = name;
    handle_ = 1;
    return true;
}

bool EventSource::deregister() {
    handle_ = 0;
    name_.clear();
    return true;
}

void EventSource::report(LogEventType type, std::string_view text) {
    if (!isRegistered()) return;
    syslog(LOG_USER | kSyslogLevels[static_cast<int>(type)], "%s: %.*s", name_.c_str(), static_cast<int>(text.size()),
           text.data());
}
