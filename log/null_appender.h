// An output target that accepts records while opened and writes nothing.
#pragma once

#include "log/appender.h"

class NullAppender : public Appender {
public:
    using Appender::Appender;

    const char* className() const override;
    void write(const std::string& text, const LoggingEvent* event) override;
};
