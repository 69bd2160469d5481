// The Windows clipboard (Windows build only).
#pragma once

#include <string_view>

// Puts text on the clipboard in the plain-text format. False when the
// clipboard cannot be opened or emptied, or the text cannot be stored.
bool CopyTextToClipboard(std::string_view text);
