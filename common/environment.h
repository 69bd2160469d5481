// Environment variables and the expansion of references to them.
#pragma once

#include <string>
#include <string_view>

// The value of a variable, or the empty string when it is not set or its value
// does not fit the 1,000-character buffer of the original call.
std::string GetEnvironmentValue(const char* name);
// The same with a buffer of 2,000 characters (logging framework).
std::string GetEnvironmentValueLong(const char* name);

// Replaces each "%NAME%" by the variable's value, left to right. Expansion stops
// at a "%" without a partner or at a variable that is not set (or whose value
// does not fit 260 characters); the rest of the text is kept as written.
std::string ExpandEnvironmentRefs(std::string_view text);

// The logging framework's expansion: "%NAME%" and "${NAME}" references are
// replaced by the value (nothing for an unset variable), "%%" gives "%". A
// "${" reference ends at its "}" or at the first character that is not a
// letter, digit or underscore. A "%" without a partner is copied.
std::string ExpandVariables(std::string_view text);

// Sets (or with a null value removes) a variable of this process.
bool SetEnvironmentValue(const char* name, const char* value);
