// Formats a record through an arbitrary conversion pattern and writes dates
// through an arbitrary date pattern: both languages come from configuration
// files that a user may have got wrong in any way.
//
// Input: the conversion pattern, a NUL byte, then the date pattern (the whole
// input is the conversion pattern when there is no NUL). The date pattern is
// also the record's message and logger name, so that the fields that scan
// record texts (%c{N}) meet arbitrary bytes too.
//
// Besides what the sanitizers catch, the target aborts when a text is longer
// than the languages allow, which would mean a width escaped its cap or a step
// was repeated:
//  - a date is at most 14 bytes per pattern byte, plus 64;
//  - a record has at most one step per two pattern bytes, each step at most
//    max(width, field) with width <= 65,535; a field is the message or logger
//    name (D bytes), a date (the bound above, over its option's bytes), an
//    environment value (at most 2,000 bytes), the module name or a literal.
//    So P pattern bytes give at most P * (65,535 + D + 2,000 + 4,096 + 14 + 64).
#include "log/date_format.h"
#include "log/layouts/pattern_layout.h"
#include "log/log_clock.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Longer inputs only repeat what shorter ones reach, and a few hundred
// thousand maximal widths would make each run take seconds.
constexpr std::size_t kMaxInput = 4096;

CalendarTime FixedTime() { return CalendarTime{2010, 5, 0, 9, 7, 36, 4, 123}; }

// Fields outside their usual ranges: a year before 2000, an unknown month.
constexpr CalendarTime kOddTime{1999, 13, 0, 0, 0, 0, 0, 0};

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool clockSet = (SetLogClock(&FixedTime), true);
    (void)clockSet;

    const std::string_view input(reinterpret_cast<const char*>(data), size < kMaxInput ? size : kMaxInput);
    const std::size_t split = input.find('\0');
    const std::string_view conversion = input.substr(0, split);
    const std::string_view date = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const std::size_t dateBound = 14 * date.size() + 64;
    Check(formatDate(date, FixedTime()).size() <= dateBound);
    Check(formatDate(date, kOddTime).size() <= dateBound);

    PatternLayout layout(conversion);
    LoggingEvent event;
    event.message.assign(date);
    event.categoryName.assign(date);
    event.elapsedMs = 4294967295u;
    std::string text;
    if (layout.format(event, text)) {
        Check(text.size() <= conversion.size() * (65535 + date.size() + 2000 + 4096 + 14 + 64));
    } else {
        Check(text.empty());
    }
    return 0;
}
