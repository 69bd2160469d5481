// A layout driven by a conversion pattern, printf-like: "%-5p - %m%n" writes
// the priority name left-justified in five columns, " - ", the message and
// the line end.
//
// Pattern language, read left to right:
//   \n  the line end "\r\n"        \\  one backslash
//   \x  (any other x) nothing      \   at the very end: ends the pattern
//   %%  one "%"
//   %[-][width]letter[{option}]    a field of the record, below
//   anything else is copied.
//
//   a appender name     b appender class name   m message   t thread
//   c logger name; {N} keeps its last N dot-separated components (an empty
//     option the whole name, N <= 0 nothing; a dot at the very start of the
//     name does not count)
//   d the local time (LogLocalTime) written by formatDate with the option as
//     date pattern, "ISO8601" without one
//   n "\r\n"            p priority name         r elapsed milliseconds
//   u %USERNAME%        O %COMPUTERNAME%        (empty when not set)
//   M the program's file name, or "[NoModuleName]"
//   R nothing at all: no text and no fill, whatever the width
// Options after other letters are read and ignored.
//
// Justification and width: every character between "%" and the letter is a
// modifier of the field; there is no limit on their number. A leading
// "-" left-justifies the field. The rest is read as a C library integer
// conversion reads it: leading blanks, an optional sign, then digits up to
// the first other character; no digits read as 0. A negative width counts as
// 0 and widths are capped at 65,535, so that no pattern makes a record of
// gigabytes. A shorter field is filled with blanks to the width (after the
// text when left-justified, before it otherwise); a longer one is never cut.
//
// A pattern fails as a whole, and format returns false with an empty text for
// every record, when a "%" is followed by no letter, when an option brace is
// not closed, or when the letter is not in the table above.
//
// The pattern is compiled once when it is set, so format only walks a list of
// ready steps and appends into the caller's string. Set the pattern before
// records are formatted on other threads: format itself changes nothing.
#pragma once

#include "log/layout.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class PatternLayout : public Layout {
public:
    static constexpr char kDefaultConversionPattern[] = "%-5p - %m%n";

    PatternLayout();
    explicit PatternLayout(std::string_view conversionPattern);

    const char* className() const override;
    // "ConversionPattern" (any letter case) sets the pattern, stored as given.
    bool setParam(const std::string& name, const std::string& value) override;
    // The pattern for "ConversionPattern"; the empty text for other names.
    std::string getParam(const std::string& name) const override;
    // A "ConversionPattern" that fails says why (patternFailure).
    std::string paramWarning(const std::string& name, const std::string& value) const override;
    // text is cleared, then receives the record; false for a failing pattern.
    bool format(const LoggingEvent& event, std::string& text) const override;

    void setConversionPattern(std::string_view pattern);
    const std::string& conversionPattern() const { return pattern_; }
    // Why the pattern fails, as the end of a sentence about it ("has an
    // option brace that is not closed"); empty when it does not.
    const std::string& patternFailure() const { return failure_; }

private:
    enum class Field : std::uint8_t {
        kText, // a literal run of texts_
        kAppenderName,
        kAppenderClassName,
        kCategory,
        kDate,
        kMessage,
        kPriority,
        kElapsed,
        kThread,
        kUserName,
        kModuleName,
        kComputerName,
    };
    struct Step {
        Field field = Field::kText;
        bool leftJustified = false;
        std::uint32_t width = 0;
        // kText: the literal; kDate: the date pattern; both inside texts_.
        std::size_t offset = 0;
        std::size_t length = 0;
        // kCategory: how many trailing components to keep; kAllComponents
        // for the whole name.
        std::int64_t components = 0;
    };
    static constexpr std::int64_t kAllComponents = -1;

    void compile();
    void addText(std::string_view text);

    std::string pattern_;
    std::vector<Step> steps_;
    std::string texts_;   // literal runs and date patterns the steps refer to
    std::string failure_; // why the pattern fails; empty when it does not
};
