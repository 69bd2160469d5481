#include "log/appenders/udp_console_color_appender.h"

#include "common/text_utils.h"
#include "log/param_text.h"

namespace {

struct PriorityColour {
    Priority priority;
    std::string_view sequence;
};

// Bright blue, cyan, white, yellow, red, magenta and green.
constexpr PriorityColour kColours[] = {
    {LogPriority::kTrace, "\033[01;34m"},
    {LogPriority::kDebug, "\033[01;36m"},
    {LogPriority::kInfo, "\033[01;37m"},
    {LogPriority::kWarn, "\033[01;33m"},
    {LogPriority::kError, "\033[01;31m"},
    {LogPriority::kFatal, "\033[01;35m"},
    {9998, "\033[01;32m"},
};

} // namespace

const char* UDPConsoleColorAppender::className() const { return "UDPConsoleColorAppender"; }

bool UDPConsoleColorAppender::setParam(const std::string& name, const std::string& value) {
    if (UDPConsoleAppender::setParam(name, value)) return true;
    if (!EqualsIgnoringCase(name, "ClearScreen")) return false;
    clearScreen_ = ParamIsTrue(value);
    return true;
}

std::string UDPConsoleColorAppender::getParam(const std::string& name) const {
    if (EqualsIgnoringCase(name, "ClearScreen")) return ParamBoolText(clearScreen_);
    return UDPConsoleAppender::getParam(name);
}

std::string_view UDPConsoleColorAppender::colourOf(Priority priority) {
    for (const PriorityColour& entry : kColours)
        if (entry.priority == priority) return entry.sequence;
    return kResetSequence;
}

bool UDPConsoleColorAppender::onSocketOpened(std::string&) {
    if (clearScreen_) write(kClearSequence, nullptr);
    return true;
}

bool UDPConsoleColorAppender::appendLocked(const LoggingEvent& event) {
    if (!isTargetOpen() || !formatEvent(event, formatted_)) return false;
    coloured_.assign(colourOf(event.priority));
    coloured_ += formatted_;
    coloured_ += kResetSequence;
    write(coloured_, &event);
    return true;
}
