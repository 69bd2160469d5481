#include "log/layouts/html_layout.h"

#include "common/string_format.h"
#include "common/text_utils.h"
#include "log/date_format.h"
#include "log/log_clock.h"

#include <charconv>

namespace {

constexpr char kTitleParam[] = "Title";

struct StyleProperty {
    const char* name; // null ends a rule's list
    const char* value;
};
struct StyleRule {
    const char* selector;
    StyleProperty properties[8];
};

// The report's style sheet, rule by rule in the order written.
constexpr StyleRule kStyleRules[] = {
    {"body,table,td,div",
     {{"font-family", "Verdana, Arial, sans-serif"}, {"font-size", "10pt"}, {"background-color", "#ece9d8"}}},
    {"a:link", {{"color", "#4040C0"}, {"text-decoration", "underline"}}},
    {"a:visited", {{"color", "#4040C0"}, {"text-decoration", "underline"}}},
    {"a:hover", {{"color", "#C0C000"}, {"text-decoration", "underline"}}},
    {"table", {{"border-collapse", "collapse"}, {"border-color", "#C0C0C0"}, {"border", "solid 1 px"}}},
    {"th",
     {{"font-size", "12pt"},
      {"color", "#3232a0"},
      {"background-color", "#f2f3f4"},
      {"border", "solid 1px"},
      {"padding", "2 px"},
      {"margin-left", "4 px"},
      {"margin-top", "2 px"},
      {"margin-bottom", "2 px"}}},
    {"td",
     {{"border", "solid 1px"},
      {"padding", "2 px"},
      {"margin-left", "4 px"},
      {"margin-top", "2 px"},
      {"margin-bottom", "2 px"}}},
};

const char* PriorityColour(Priority priority) {
    switch (priority) {
    case LogPriority::kFatal:
        return "Magenta";
    case LogPriority::kError:
        return "Red";
    case LogPriority::kWarn:
        return "Yellow";
    case LogPriority::kDebug:
        return "Green";
    default:
        return "Black";
    }
}

void AppendEscaped(std::string& out, const std::string& text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
}

void AppendDecimal(std::string& out, std::uint32_t value) {
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

} // namespace

const char* HTMLLayout::className() const { return "HTMLLayout"; }

bool HTMLLayout::setParam(const std::string& name, const std::string& value) {
    if (!EqualsIgnoringCase(name, kTitleParam)) return false;
    title_ = value;
    return true;
}

std::string HTMLLayout::getParam(const std::string& name) const {
    return EqualsIgnoringCase(name, kTitleParam) ? title_ : std::string();
}

bool HTMLLayout::header(std::string& text, const std::string& appenderClassName,
                        const std::string& appenderName) const {
    // Only the exact default title is replaced; a title set to the same words
    // in another letter case is kept.
    const std::string title = title_ == kDefaultTitle ? StringFormat("HTML layout %s:%s log messages report",
                                                                     appenderClassName.c_str(), appenderName.c_str())
                                                      : title_;
    text = StringFormat("<html><head><title>%s</title>", title.c_str());
    text += "<style type=\"text/css\">";
    for (const StyleRule& rule : kStyleRules) {
        text += rule.selector;
        text += " {";
        for (const StyleProperty& property : rule.properties) {
            if (property.name == nullptr) break;
            text += StringFormat("%s:%s", property.name, property.value);
            text += "; ";
        }
        text += " }";
        text += "\n";
    }
    text += "</style>";
    text += "</head>";
    text += "<body topmargin=6 leftmargin=6 >";
    text += "<hr size=2 noshade>";
    text += "Appender ";
    text += appenderClassName;
    text += ":";
    text += appenderName;
    text += " - Log session start time ";
    text += formatDate();
    text += "<br><br>E:means Ellapsed time<br><br>";
    text += "<table cellspacing=0 cellpadding=4 border=1 bordercolor=#224466 width=\"100%\"><tr><th>E</th><th>Date</th>"
            "<th>Logger</th><th>Level</th><th>Message</th></tr>\n";
    return true;
}

bool HTMLLayout::footer(std::string& text, const std::string& appenderClassName,
                        const std::string& appenderName) const {
    text = "</table>";
    text += "<br>";
    text += "Appender ";
    text += appenderClassName;
    text += ":";
    text += appenderName;
    text += " - Log session end time ";
    text += formatDate();
    text += "<hr size=2 noshade>";
    text += "</body></html>\n";
    return true;
}

bool HTMLLayout::format(const LoggingEvent& event, std::string& text) const {
    text.clear();
    text += "<tr>";
    text += "<td>";
    AppendDecimal(text, event.elapsedMs);
    text += "</td><td>";
    appendDate(text, {}, LogLocalTime());
    text += "</td><td>";
    AppendEscaped(text, event.categoryName);
    text += "</td><td>";
    text += "<font color=";
    text += '"';
    text += PriorityColour(event.priority);
    text += '"';
    text += ">";
    text += priorityName(event.priority);
    text += "</font>";
    text += "</td><td>";
    AppendEscaped(text, event.message);
    text += "</td>\n";
    return true;
}
