// The value syntax shared by the parameters of appenders and layouts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "true" in any letter case and "1" are true; every other text is false.
bool ParamIsTrue(std::string_view value);

// "true" or "false", as boolean parameters are reported back.
inline const char* ParamBoolText(bool value) { return value ? "true" : "false"; }

// Why text is not a whole number from minimum to maximum, as the end of a
// sentence about it: "is not a whole number", "is below 1", "is above 65535";
// empty when it is one. Blanks around the digits are allowed, as the numeric
// parameters read them.
std::string WholeNumberProblem(std::string_view text, std::int64_t minimum, std::int64_t maximum);

// Why text names no priority ("names no priority"); empty when it names one.
std::string PriorityNameProblem(std::string_view text);
