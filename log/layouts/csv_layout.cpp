#include "log/layouts/csv_layout.h"

#include "common/text_utils.h"

const char* CSVLayout::className() const { return "CSVLayout"; }

bool CSVLayout::setParam(const std::string& name, const std::string& value) {
    if (!EqualsIgnoringCase(name, "Header")) return PatternLayout::setParam(name, value);
    header_ = value;
    return true;
}

std::string CSVLayout::getParam(const std::string&) const { return {}; }

bool CSVLayout::header(std::string& text, const std::string&, const std::string&) const {
    text.clear();
    if (header_.empty()) return false;
    text += header_;
    text += kLogLineEnd;
    return true;
}
