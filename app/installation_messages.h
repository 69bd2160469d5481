// The installation message list: every progress and error line that the
// archive reports while loading and extracting, in the order reported.
// Lines are only ever appended. One thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The process-wide list, from static initialisation until the process exits.
std::vector<std::string>& InstallationMessages();

// The archive's progress callback: appends text (a null text as an empty
// line) to InstallationMessages and ignores userWord. It cannot fail.
void InstallationProgress(const char* text, std::uintptr_t userWord);
