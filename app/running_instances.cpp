#include "app/running_instances.h"

#include "app/window_search.h"

bool RunningInstancesClosed(InstallerUi& ui, InstallerSystem& system, const std::string& windowList,
                            const std::string& appName, const char* action, bool silent, const std::string& title) {
    WindowSearch search;
    search.SetWindowList(windowList);
    while (SearchWindows(system.Windows(), search) != 0) {
        if (silent) {
            ui.ShowMessage("!Error: following windows are open, '" + appName + "' is left as it is:\n" +
                               FoundWindowsText(search),
                           title, kMessageError);
            return false;
        }
        // Titles are joined as they are, never used as a format.
        const std::string text = "Following windows have to be closed before " + std::string(action) + " '" + appName +
                                 "':\n\n" + FoundWindowsText(search) + "\n" + "Thanks to proceed...\n";
        if (ui.ShowMessage(text, title, kMessageOkCancelInfo) != kButtonOk) return false;
    }
    return true;
}
