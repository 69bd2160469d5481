#include "log/layout.h"

Layout::~Layout() = default;

const char* Layout::className() const { return "SkeletonLayout"; }

bool Layout::setParam(const std::string&, const std::string&) { return false; }

std::string Layout::getParam(const std::string&) const { return {}; }

std::string Layout::paramWarning(const std::string&, const std::string&) const { return {}; }

bool Layout::header(std::string& text, const std::string&, const std::string&) const {
    text.clear();
    return false;
}

bool Layout::footer(std::string& text, const std::string&, const std::string&) const {
    text.clear();
    return false;
}

bool Layout::format(const LoggingEvent& event, std::string& text) const {
    text = event.message;
    text += '\n';
    return true;
}
