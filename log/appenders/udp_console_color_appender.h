// A UDP console target that colours each record by its priority with
// terminal escape sequences ("UDPConsoleColorAppender"); headers and footers
// go out uncoloured.
//
// Parameter "ClearScreen" (boolean, default false): clear the receiving
// terminal when the appender opens.
#pragma once

#include "log/appenders/udp_console_appender.h"

class UDPConsoleColorAppender : public UDPConsoleAppender {
public:
    // Erases the whole screen, then moves the cursor to its top left corner.
    static constexpr std::string_view kClearSequence = "\033[2J\033[H";
    static constexpr std::string_view kResetSequence = "\033[0m";

    UDPConsoleColorAppender(std::string name, Priority threshold) : UDPConsoleAppender(std::move(name), threshold) {}
    UDPConsoleColorAppender() : UDPConsoleColorAppender("[NoAppenderName]", LogPriority::kNotSet) {}

    const char* className() const override;
    bool setParam(const std::string& name, const std::string& value) override;
    std::string getParam(const std::string& name) const override;

    // The sequence a record of priority starts with: its colour for TRACE,
    // DEBUG, INFO, WARN, ERROR, FATAL and 9998, the reset sequence for any
    // other priority.
    static std::string_view colourOf(Priority priority);

protected:
    bool onSocketOpened(std::string& error) override;
    // The colour, the formatted record and the reset sequence, sent as one text.
    bool appendLocked(const LoggingEvent& event) override;

private:
    bool clearScreen_ = false;
    std::string formatted_;
    std::string coloured_;
};
