// An output target that accepts records while opened and writes nothing.
#pragma once

#include "log/appender.h"

class NullAppender : public Appender {
public:
    using Appender::Appender;

    const char* className() const override;

protected:
    // Accepts the record without formatting it.
    bool appendLocked(const LoggingEvent& event) override;
};
