#include "log/priority.h"

#include "common/text_utils.h"

const char* priorityName(Priority priority) {
    switch (priority) {
    case LogPriority::kUndefined:
        return "UNDEFINED";
    case LogPriority::kOff:
        return "OFF";
    case LogPriority::kFatal:
        return "FATAL";
    case LogPriority::kAlert:
        return "ALERT";
    case LogPriority::kCritical:
        return "CRITICAL";
    case LogPriority::kError:
        return "ERROR";
    case LogPriority::kWarn:
        return "WARN";
    case LogPriority::kNotice:
        return "NOTICE";
    case LogPriority::kInfo:
        return "INFO";
    case LogPriority::kDebug:
        return "DEBUG";
    case LogPriority::kTrace:
        return "TRACE";
    case LogPriority::kNotSet:
        return "NOTSET";
    case LogPriority::kAll:
        return "ALL";
    case LogPriority::kForce:
        return "";
    default:
        return "Unconditional";
    }
}

namespace {

struct PriorityWord {
    const char* text;
    Priority value;
};

// Searched in this order; the first match wins.
constexpr PriorityWord kPriorityWords[] = {
    {"Off", LogPriority::kOff},       {"Force", LogPriority::kForce},     {"Fatal", LogPriority::kFatal},
    {"Alert", LogPriority::kAlert},   {"Critic", LogPriority::kCritical}, {"Critical", LogPriority::kCritical},
    {"Error", LogPriority::kError},   {"Warn", LogPriority::kWarn},       {"Notice", LogPriority::kNotice},
    {"Info", LogPriority::kInfo},     {"Debug", LogPriority::kDebug},     {"Trace", LogPriority::kTrace},
    {"NotSet", LogPriority::kNotSet}, {"All", LogPriority::kAll},
};

} // namespace

Priority parsePriority(std::string_view text) {
    for (const PriorityWord& word : kPriorityWords)
        if (EqualsIgnoringCase(text, word.text)) return word.value;
    return LogPriority::kUndefined;
}
