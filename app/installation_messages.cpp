#include "app/installation_messages.h"

namespace {

// Constructed during static initialisation and destroyed at process exit.
// Lines arrive only from archive calls made by the start-up routine, never
// from another static object's constructor, so the list always exists by
// then; a plain static also spares the one-thread installer a guarded
// initialisation.
std::vector<std::string> messages;

} // namespace

std::vector<std::string>& InstallationMessages() { return messages; }

void InstallationProgress(const char* text, std::uintptr_t /*userWord*/) {
    messages.emplace_back(text != nullptr ? text : "");
}
