#include "log/param_text.h"

#include "common/string_format.h"
#include "common/text_utils.h"
#include "log/priority.h"

bool ParamIsTrue(std::string_view value) { return EqualsIgnoringCase(value, "true") || value == "1"; }

std::string WholeNumberProblem(std::string_view text, std::int64_t minimum, std::int64_t maximum) {
    std::string_view digits = TrimBlanks(text);
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return "is not a whole number";
    // TextToInt64 saturates, so a value of any length compares correctly.
    const std::int64_t value = TextToInt64(TrimBlanks(text));
    if (value < minimum) return StringFormat("is below %lld", static_cast<long long>(minimum));
    if (value > maximum) return StringFormat("is above %lld", static_cast<long long>(maximum));
    return {};
}

std::string PriorityNameProblem(std::string_view text) {
    return parsePriority(text) == LogPriority::kUndefined ? "names no priority" : std::string();
}
