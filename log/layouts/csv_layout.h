// A pattern layout for comma-separated files, with an optional first line.
// Records are written exactly as by PatternLayout.
#pragma once

#include "log/layouts/pattern_layout.h"

#include <string>

class CSVLayout : public PatternLayout {
public:
    CSVLayout() = default;

    const char* className() const override;
    // "ConversionPattern" and "Header" (any letter case), stored as given.
    bool setParam(const std::string& name, const std::string& value) override;
    // The empty text for every name, the two parameters included: this class
    // does not report its settings.
    std::string getParam(const std::string& name) const override;
    // The header line followed by "\r\n", when one was set.
    bool header(std::string& text, const std::string& appenderClassName,
                const std::string& appenderName) const override;

private:
    std::string header_;
};
