// A layout that writes an HTML report: a page head with a style sheet and the
// session's start time, one table row per record, and a page end with the
// session's end time. Dates are the local time (LogLocalTime) when the text is
// made, in the ISO8601 format.
//
// Texts that come from a record (its message and logger name) are written
// with "&", "<", ">" and '"' escaped, so that a message cannot break the page
// or inject markup into it. The title and the appender's names come from the
// configuration and are written as given.
#pragma once

#include "log/layout.h"

#include <string>

class HTMLLayout : public Layout {
public:
    static constexpr char kDefaultTitle[] = "ZorLog logging report";

    HTMLLayout() = default;

    const char* className() const override;
    // "Title" (any letter case), stored as given.
    bool setParam(const std::string& name, const std::string& value) override;
    // The title for "Title"; the empty text for other names.
    std::string getParam(const std::string& name) const override;

    // The page head up to the table's heading row. While the title is the
    // default one, the page is titled after the appender instead:
    // "HTML layout <class>:<name> log messages report".
    bool header(std::string& text, const std::string& appenderClassName,
                const std::string& appenderName) const override;
    // The end of the table and of the page.
    bool footer(std::string& text, const std::string& appenderClassName,
                const std::string& appenderName) const override;
    // One table row: elapsed time, date, logger, priority in its colour,
    // message. The row is left open (no "</tr>"), as browsers accept.
    bool format(const LoggingEvent& event, std::string& text) const override;

private:
    std::string title_ = kDefaultTitle;
};
