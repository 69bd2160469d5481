#include "log/param_text.h"

#include "common/text_utils.h"

bool ParamIsTrue(std::string_view value) { return EqualsIgnoringCase(value, "true") || value == "1"; }
