// Record priorities: a signed scale on which a smaller number is more severe,
// with the names written into output and the names read from configuration.
#pragma once

#include <cstdint>
#include <string_view>

using Priority = std::int32_t;

// The named values. The constants carry a "k" prefix because ERROR and DEBUG
// are macros in some Windows and build environments.
namespace LogPriority {
inline constexpr Priority kUndefined = -3; // a text that names no priority
inline constexpr Priority kOff = -2;       // admits only forced and raw records
inline constexpr Priority kFatal = 0;
inline constexpr Priority kAlert = 100;
inline constexpr Priority kCritical = 200;
inline constexpr Priority kError = 300;
inline constexpr Priority kWarn = 400;
inline constexpr Priority kNotice = 500;
inline constexpr Priority kInfo = 600; // a logger's default threshold
inline constexpr Priority kDebug = 700;
inline constexpr Priority kTrace = 800;
inline constexpr Priority kNotSet = 900; // a fresh record; an appender's default threshold
inline constexpr Priority kAll = 1000;
inline constexpr Priority kForce = 9998;         // passes every threshold
inline constexpr Priority kUnconditional = 9999; // passes every threshold, written without layout
} // namespace LogPriority

// The output name of priority: "FATAL", "WARN", ..., the empty text for 9998,
// and "Unconditional" for 9999 and for every value outside the named set.
// The result is a static text.
const char* priorityName(Priority priority);

// The priority that text names, compared whole (no trimming) and without
// regard to case against "Off", "Force", "Fatal", "Alert", "Critic",
// "Critical", "Error", "Warn", "Notice", "Info", "Debug", "Trace", "NotSet",
// "All"; LogPriority::kUndefined (-3) when none matches.
Priority parsePriority(std::string_view text);

// True when priority is admitted by threshold (priority <= threshold).
// Forced records are not special here; the logger's dispatch handles them.
inline bool passesThreshold(Priority priority, Priority threshold) { return priority <= threshold; }
