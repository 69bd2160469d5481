#include "log/layouts/pattern_layout.h"

#include "common/environment.h"
#include "common/system_info.h"
#include "common/text_utils.h"
#include "log/date_format.h"
#include "log/log_clock.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr char kConversionPatternParam[] = "ConversionPattern";
constexpr std::int64_t kMaxWidth = 65535;

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The program's file name cannot change while it runs, so it is read once.
const std::string& ModuleName() {
    static const std::string name = GetModuleFileNameOnly();
    return name;
}

// The part of name after its count-th dot from the end; the whole name when
// it has fewer dots (a dot at position 0 does not count).
std::string_view LastComponents(std::string_view name, std::int64_t count) {
    if (count <= 0) return {};
    for (std::size_t at = name.size(); at > 1;) {
        --at;
        if (name[at] == '.' && --count == 0) return name.substr(at + 1);
    }
    return name;
}

// Appends field filled with blanks to the step's width.
void AppendPadded(std::string& text, std::string_view field, std::uint32_t width, bool leftJustified) {
    const std::size_t fill = field.size() < width ? width - field.size() : 0;
    if (fill != 0 && !leftJustified) text.append(fill, ' ');
    text += field;
    if (fill != 0 && leftJustified) text.append(fill, ' ');
}

} // namespace

PatternLayout::PatternLayout() : PatternLayout(kDefaultConversionPattern) {}

PatternLayout::PatternLayout(std::string_view conversionPattern) { setConversionPattern(conversionPattern); }

const char* PatternLayout::className() const { return "PatternLayout"; }

bool PatternLayout::setParam(const std::string& name, const std::string& value) {
    if (!EqualsIgnoringCase(name, kConversionPatternParam)) return false;
    setConversionPattern(value);
    return true;
}

std::string PatternLayout::getParam(const std::string& name) const {
    return EqualsIgnoringCase(name, kConversionPatternParam) ? pattern_ : std::string();
}

std::string PatternLayout::paramWarning(const std::string& name, const std::string& value) const {
    if (!EqualsIgnoringCase(name, kConversionPatternParam)) return {};
    const PatternLayout trial(value);
    return trial.failure_.empty() ? std::string() : trial.failure_ + ", so no record is written";
}

void PatternLayout::setConversionPattern(std::string_view pattern) {
    pattern_.assign(pattern);
    compile();
}

void PatternLayout::addText(std::string_view text) {
    // Adjacent literals share one step.
    if (steps_.empty() || steps_.back().field != Field::kText ||
        steps_.back().offset + steps_.back().length != texts_.size()) {
        Step step;
        step.offset = texts_.size();
        steps_.push_back(step);
    }
    steps_.back().length += text.size();
    texts_ += text;
}

void PatternLayout::compile() {
    steps_.clear();
    texts_.clear();
    failure_.clear();
    const auto fail = [this](std::string reason) {
        steps_.clear();
        texts_.clear();
        failure_ = std::move(reason);
    };

    const std::string_view pattern = pattern_;
    std::size_t at = 0;
    while (at < pattern.size()) {
        const char c = pattern[at];
        if (c == '\\') {
            if (at + 1 == pattern.size()) break; // a backslash at the very end ends the pattern
            const char escaped = pattern[at + 1];
            at += 2;
            if (escaped == 'n')
                addText(kLogLineEnd);
            else if (escaped == '\\')
                addText("\\");
            continue;
        }
        if (c != '%') {
            addText(pattern.substr(at, 1));
            ++at;
            continue;
        }
        if (at + 1 < pattern.size() && pattern[at + 1] == '%') {
            addText("%");
            at += 2;
            continue;
        }

        std::size_t letterAt = at + 1;
        while (letterAt < pattern.size() && !IsAsciiLetter(pattern[letterAt])) ++letterAt;
        if (letterAt == pattern.size()) return fail("has a \"%\" followed by no conversion letter");
        std::string_view modifiers = pattern.substr(at + 1, letterAt - at - 1);
        const char letter = pattern[letterAt];
        at = letterAt + 1;
        bool hasOption = false;
        std::string_view option;
        if (at < pattern.size() && pattern[at] == '{') {
            const std::size_t close = pattern.find('}', at + 1);
            if (close == std::string_view::npos) return fail("has an option brace that is not closed");
            hasOption = true;
            option = pattern.substr(at + 1, close - at - 1);
            at = close + 1;
        }

        Step step;
        step.leftJustified = !modifiers.empty() && modifiers.front() == '-';
        if (step.leftJustified) modifiers.remove_prefix(1);
        step.width = static_cast<std::uint32_t>(std::clamp<std::int64_t>(TextToInt64(modifiers), 0, kMaxWidth));
        switch (letter) {
        case 'a':
            step.field = Field::kAppenderName;
            break;
        case 'b':
            step.field = Field::kAppenderClassName;
            break;
        case 'c':
            step.field = Field::kCategory;
            step.components =
                !hasOption || option.empty() ? kAllComponents : std::max<std::int64_t>(TextToInt64(option), 0);
            break;
        case 'd':
            step.field = Field::kDate;
            step.offset = texts_.size();
            step.length = option.size();
            texts_ += option; // no option and an empty one both mean ISO8601
            break;
        case 'm':
            step.field = Field::kMessage;
            break;
        case 'n':
            // The line end is fixed text, filled here once and for all.
            addText(PadString(kLogLineEnd, step.width, !step.leftJustified));
            continue;
        case 'p':
            step.field = Field::kPriority;
            break;
        case 'r':
            step.field = Field::kElapsed;
            break;
        case 't':
            step.field = Field::kThread;
            break;
        case 'u':
            step.field = Field::kUserName;
            break;
        case 'M':
            step.field = Field::kModuleName;
            break;
        case 'O':
            step.field = Field::kComputerName;
            break;
        case 'R':
            continue;
        default:
            return fail(std::string("has the unknown conversion letter '") + letter + "'");
        }
        steps_.push_back(step);
    }
}

bool PatternLayout::format(const LoggingEvent& event, std::string& text) const {
    text.clear();
    if (!failure_.empty()) return false;
    for (const Step& step : steps_) {
        std::string_view field;
        char digits[16];
        switch (step.field) {
        case Field::kText:
            text.append(texts_, step.offset, step.length);
            continue;
        case Field::kAppenderName:
            field = event.appenderName;
            break;
        case Field::kAppenderClassName:
            field = event.appenderClassName;
            break;
        case Field::kCategory:
            field = step.components == kAllComponents ? std::string_view(event.categoryName)
                                                      : LastComponents(event.categoryName, step.components);
            break;
        case Field::kDate: {
            const std::size_t start = text.size();
            appendDate(text, std::string_view(texts_).substr(step.offset, step.length), LogLocalTime());
            const std::size_t length = text.size() - start;
            if (length < step.width) {
                if (step.leftJustified)
                    text.append(step.width - length, ' ');
                else
                    text.insert(start, step.width - length, ' ');
            }
            continue;
        }
        case Field::kMessage:
            field = event.message;
            break;
        case Field::kPriority:
            field = priorityName(event.priority);
            break;
        case Field::kElapsed:
            field =
                std::string_view(digits, std::to_chars(digits, digits + sizeof digits, event.elapsedMs).ptr - digits);
            break;
        case Field::kThread:
            field = event.threadName;
            break;
        case Field::kUserName:
            AppendPadded(text, GetEnvironmentValueLong("USERNAME"), step.width, step.leftJustified);
            continue;
        case Field::kModuleName:
            field = ModuleName();
            break;
        case Field::kComputerName:
            AppendPadded(text, GetEnvironmentValueLong("COMPUTERNAME"), step.width, step.leftJustified);
            continue;
        }
        AppendPadded(text, field, step.width, step.leftJustified);
    }
    return true;
}
