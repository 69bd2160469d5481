// The three fixed layouts: the message alone, the priority and the message,
// and nothing at all. None has parameters, a header or a footer.
#pragma once

#include "log/layout.h"

// The message followed by "\r\n".
class BasicLayout : public Layout {
public:
    const char* className() const override;
    bool format(const LoggingEvent& event, std::string& text) const override;
};

// The priority name, " - ", the message and "\r\n".
class SimpleLayout : public Layout {
public:
    const char* className() const override;
    bool format(const LoggingEvent& event, std::string& text) const override;
};

// The empty text for every record; format always succeeds.
class NullLayout : public Layout {
public:
    const char* className() const override;
    bool format(const LoggingEvent& event, std::string& text) const override;
};
