#include "app/window_search.h"

#include "common/text_utils.h"

#include <algorithm>

namespace {

// Texts longer than the system's read buffer are cut as reading cuts them.
std::string Bounded(const std::string& text) { return text.substr(0, std::min(text.size(), kWindowTextLimit - 1)); }

} // namespace

bool OnEnumWindow(const EnumeratedWindow& window, WindowSearch& search) {
    const std::string title = Bounded(window.title);
    for (const std::string& fragment : search.titles.Items()) {
        if (fragment.empty() || title.find(fragment) == std::string::npos) continue;
        search.found.push_back({window.handle, Bounded(window.className), title});
        break;
    }
    return true;
}

std::size_t SearchWindows(WindowSystem& system, WindowSearch& search) {
    search.found.clear();
    system.EnumerateTopLevelWindows([&search](const EnumeratedWindow& window) { return OnEnumWindow(window, search); });
    return search.found.size();
}

std::string FoundWindowsText(const WindowSearch& search) {
    std::string text;
    for (const FoundWindow& window : search.found) text += "- " + window.title + "\n";
    return text;
}

bool IsProcessRunning(WindowSystem& system, const std::string& executablePath) {
    if (executablePath.empty()) return false;
    std::vector<std::uint32_t> ids = system.ProcessIds();
    if (ids.size() > kMaxProcessIds) ids.resize(kMaxProcessIds);
    for (const std::uint32_t id : ids) {
        if (id == 0) continue;
        const std::string path = system.ProcessImagePath(id);
        if (!path.empty() && EqualsIgnoringCase(path, executablePath)) return true;
    }
    return false;
}

bool IsNtPlatform(WindowSystem& system) { return system.IsNtPlatform(); }
