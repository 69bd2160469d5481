// A source registered with the system's event log: the Windows event log,
// or syslog in the POSIX build, where the source name leads each message.
#pragma once

#include "log/priority.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class LogEventType { Error, Warning, Information };

// The event type of a record's priority: FATAL to ERROR (up to 300) are
// errors, WARN and NOTICE (301 to 599) warnings, the rest information.
LogEventType EventTypeOf(Priority priority);

class EventSource {
public:
    EventSource() = default;
    EventSource(const EventSource&) = delete;
    EventSource& operator=(const EventSource&) = delete;
    // Deregisters a source still registered.
    ~EventSource();

    // Registers a source of this name on the local machine; false, with the
    // thread's last error set, when the system refuses.
    bool registerSource(const std::string& name);
    bool isRegistered() const { return handle_ != 0; }
    // Forgets the source; false, with the last error set, when the system
    // reported a failure (the source is forgotten all the same).
    bool deregister();

    // One event with the text as its only string (category 100, event 0);
    // failures are ignored. Nothing happens without a registered source.
    void report(LogEventType type, std::string_view text);

private:
    // The system's handle (1 in the POSIX build while registered), and the
    // name it was registered under.
    std::uintptr_t handle_ = 0;
    std::string name_;
};
