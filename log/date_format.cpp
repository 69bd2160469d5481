#include "log/date_format.h"

#include "common/text_utils.h"
#include "log/log_clock.h"

#include <charconv>

namespace {

constexpr const char* kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                       "July",    "Aughust",  "September", "October", "November", "December"};
constexpr const char* kMonthAbbreviations[] = {"Jan.", "Feb.", "Mar.", "Apr.", "May.", "Jun.",
                                               "Jul.", "Aug.", "Sep.", "Oct.", "Nov.", "Dec."};

// value as "%0*d" writes it with width: the sign, then zeros up to the width,
// then the digits; a wider number is never cut.
void appendZeroFilled(std::string& out, int value, std::size_t width) {
    char digits[16];
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    const auto end = std::to_chars(digits, digits + sizeof digits, magnitude).ptr;
    const std::size_t length = static_cast<std::size_t>(end - digits) + (value < 0 ? 1 : 0);
    if (value < 0) out += '-';
    if (length < width) out.append(width - length, '0');
    out.append(digits, end);
}

void appendMonthName(std::string& out, int month, bool abbreviated) {
    if (month < 1 || month > 12) {
        out += "[UnknownMonth]";
        return;
    }
    out += (abbreviated ? kMonthAbbreviations : kMonthNames)[month - 1];
}

// One run of count equal characters outside quotes.
void appendField(std::string& out, char letter, std::size_t count, const CalendarTime& time) {
    int number = 0;
    switch (letter) {
    case 'y':
        number = count < 3 ? time.year - 2000 : time.year;
        break;
    case 'M':
        if (count >= 3) return appendMonthName(out, time.month, count == 3);
        number = time.month;
        break;
    case 'd':
        number = time.day;
        break;
    case 'H':
        number = time.hour;
        break;
    case 'h':
        number = time.hour % 12 == 0 ? 12 : time.hour % 12;
        break;
    case 'm':
        number = time.minute;
        break;
    case 's':
        number = time.second;
        break;
    case 'S':
        number = time.milliseconds;
        break;
    case 'a':
        out += time.hour < 12 ? "AM" : "PM";
        return;
    default:
        out += letter;
        return;
    }
    appendZeroFilled(out, number, count);
}

void appendCustom(std::string& out, std::string_view pattern, const CalendarTime& time) {
    std::size_t at = 0;
    while (at < pattern.size()) {
        if (pattern[at] == '\'') {
            // A literal: "''" inside gives one quote, a lone quote closes it.
            for (++at; at < pattern.size(); ++at) {
                if (pattern[at] != '\'') {
                    out += pattern[at];
                } else if (at + 1 < pattern.size() && pattern[at + 1] == '\'') {
                    out += '\'';
                    ++at;
                } else {
                    ++at;
                    break;
                }
            }
            continue;
        }
        const char letter = pattern[at];
        const std::size_t start = at;
        while (at < pattern.size() && pattern[at] == letter) ++at;
        appendField(out, letter, at - start, time);
    }
}

} // namespace

void appendDate(std::string& out, std::string_view pattern, const CalendarTime& time) {
    // Each named format is the custom pattern that writes the same text.
    if (pattern.empty() || EqualsIgnoringCase(pattern, "ISO8601"))
        pattern = "yyyy-MM-dd HH:mm:ss,SSS";
    else if (EqualsIgnoringCase(pattern, "YY_MM_dd_HH_mm_ss"))
        pattern = "yy-MM-dd HH:mm:ss";
    else if (EqualsIgnoringCase(pattern, "ABSOLUTE"))
        pattern = "HH:mm:ss,SSS";
    appendCustom(out, pattern, time);
}

std::string formatDate(std::string_view pattern, const CalendarTime& time) {
    std::string text;
    appendDate(text, pattern, time);
    return text;
}

std::string formatDate(std::string_view pattern) { return formatDate(pattern, LogLocalTime()); }
