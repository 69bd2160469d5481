// The value syntax shared by the parameters of appenders and layouts.
#pragma once

#include <string_view>

// "true" in any letter case and "1" are true; every other text is false.
bool ParamIsTrue(std::string_view value);

// "true" or "false", as boolean parameters are reported back.
inline const char* ParamBoolText(bool value) { return value ? "true" : "false"; }
