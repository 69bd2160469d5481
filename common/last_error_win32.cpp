#include "common/last_error.h"
#include "common/windows_api.h"

std::uint32_t GetLastErrorCode() { return ::GetLastError(); }

void SetLastErrorCode(std::uint32_t code) { ::SetLastError(code); }
