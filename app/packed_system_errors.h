// The English texts of the system error codes as the installer stub carries
// them: the table of common/system_error_table.cpp deflated, 10 KB where the
// table takes 40 KB, and expanded on first use. The stub's runtime
// (stub_runtime_win32.cpp) puts this lookup in the place of the table's own.
//
// The packed bytes are packed_system_errors.inc, which
// tools/pack-error-texts writes from the table; a test checks that the two
// hold the same texts.
#pragma once

#include <cstdint>

// The text for code, as FindSystemErrorText gives it, or nullptr when the
// table has none, or when the texts cannot be expanded (no memory).
const char* FindPackedSystemErrorText(std::uint32_t code);
