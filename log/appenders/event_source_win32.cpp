#include "log/appenders/event_source.h"

#include "common/windows_api.h"

namespace {

// The event log's own numbers for the three types.
constexpr WORD kEventTypes[] = {EVENTLOG_ERROR_TYPE, EVENTLOG_WARNING_TYPE, EVENTLOG_INFORMATION_TYPE};

constexpr WORD kCategory = 100;
constexpr DWORD kEventId = 0;

HANDLE SourceHandle(std::uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

} // namespace

bool EventSource::registerSource(const std::string& name) {
    if (isRegistered()) return true;
    const HANDLE source = ::RegisterEventSourceA(nullptr, name.c_str());
    if (source == nullptr) return false;
    handle_ = reinterpret_cast<std::uintptr_t>(source);
    name_ = name;
    return true;
}

bool EventSource::deregister() {
    if (!isRegistered()) return true;
    const HANDLE source = SourceHandle(handle_);
    handle_ = 0;
    name_.clear();
    return ::DeregisterEventSource(source) != FALSE;
}

void EventSource::report(LogEventType type, std::string_view text) {
    if (!isRegistered()) return;
    // The call takes NUL-terminated strings.
    const std::string copy(text);
    const char* strings[] = {copy.c_str()};
    ::ReportEventA(SourceHandle(handle_), kEventTypes[static_cast<int>(type)], kCategory, kEventId, nullptr, 1, 0,
                   strings, nullptr);
}
