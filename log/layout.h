// The base of every record layout ("SkeletonLayout"). A layout turns a record
// into text and may supply a header written when an appender opens and a
// footer written when it closes.
//
// Layouts are owned by the factory; appenders only refer to them. A layout
// keeps no state between records, and format changes nothing: it may run on
// several threads at once (one layout serving several appenders, and the
// file targets, which format a record before they take their lock), so it
// needs no lock of its own. Parameters are set before records are logged.
#pragma once

#include "log/logging_event.h"

#include <string>

class Layout {
public:
    Layout() = default;
    Layout(const Layout&) = delete;
    Layout& operator=(const Layout&) = delete;
    virtual ~Layout();

    // The fixed class name; "SkeletonLayout" for the base.
    virtual const char* className() const;

    // True when the parameter name is recognised and the value taken; the
    // base recognises none.
    virtual bool setParam(const std::string& name, const std::string& value);
    // The parameter's value; the base reports the empty text for every name.
    virtual std::string getParam(const std::string& name) const;
    // Why value cannot serve the parameter name as meant, as the end of a
    // sentence about it; empty when it can (see Appender::paramWarning). The
    // base knows no parameter.
    virtual std::string paramWarning(const std::string& name, const std::string& value) const;

    // Fill text and return true when the layout has a header (or footer) for
    // the given appender; otherwise text is emptied and the result is false.
    // The base has neither.
    virtual bool header(std::string& text, const std::string& appenderClassName, const std::string& appenderName) const;
    virtual bool footer(std::string& text, const std::string& appenderClassName, const std::string& appenderName) const;

    // The record as text; the base writes the message followed by "\n".
    virtual bool format(const LoggingEvent& event, std::string& text) const;
};
