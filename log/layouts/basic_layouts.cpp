#include "log/layouts/basic_layouts.h"

const char* BasicLayout::className() const { return "BasicLayout"; }

bool BasicLayout::format(const LoggingEvent& event, std::string& text) const {
    text.clear();
    text += event.message;
    text += kLogLineEnd;
    return true;
}

const char* SimpleLayout::className() const { return "SimpleLayout"; }

bool SimpleLayout::format(const LoggingEvent& event, std::string& text) const {
    text.clear();
    text += priorityName(event.priority);
    text += " - ";
    text += event.message;
    text += kLogLineEnd;
    return true;
}

const char* NullLayout::className() const { return "NullLayout"; }

bool NullLayout::format(const LoggingEvent&, std::string& text) const {
    text.clear();
    return true;
}
