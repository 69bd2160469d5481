// A stand-in for the user and the system the installer runs on: it states a
// module path and a command line, keeps one registry, records every message
// box, options dialog, shortcut, shell call and progress update in order and
// answers each as scripted (message boxes with OK and the options dialog with
// Cancel once their scripts run out).
#pragma once

#include "app/installer_system.h"
#include "app/installer_ui.h"
#include "app/window_search.h"
#include "archive/installation_names.h"
#include "common/last_error.h"
#include "common/path.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned flags = 0;

    bool operator==(const ShownMessage&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShownMessage& message) {
    return out << "{caption \"" << message.caption << "\", flags 0x" << std::hex << message.flags << std::dec
               << ", text \"" << message.text << "\"}";
}

// The user's answer to one options dialog: OK with a directory and options
// word, or Cancel.
struct DialogAnswer {
    bool ok = false;
    std::string directory;
    std::uint32_t options = 0;
};

// What the sequence proposed in one options dialog.
struct DialogCall {
    std::string caption;
    std::string directory;
    std::uint32_t options = 0;

    bool operator==(const DialogCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const DialogCall& call) {
    return out << "{caption \"" << call.caption << "\", directory \"" << call.directory << "\", options 0x" << std::hex
               << call.options << std::dec << "}";
}

// Top-level windows as a test states them; each enumeration may show a
// different set (the last set stays once the script runs out).
class ScriptedWindowSystem : public WindowSystem {
public:
    void EnumerateTopLevelWindows(const std::function<bool(const EnumeratedWindow&)>& visit) override {
        ++enumerations;
        std::vector<EnumeratedWindow> windows;
        if (!desktops.empty()) {
            windows = desktops.front();
            if (desktops.size() > 1) desktops.pop_front();
        }
        for (const EnumeratedWindow& window : windows)
            if (!visit(window)) return;
    }
    std::vector<std::uint32_t> ProcessIds() override { return {}; }
    std::string ProcessImagePath(std::uint32_t) override { return {}; }
    bool IsNtPlatform() override { return true; }

    std::deque<std::vector<EnumeratedWindow>> desktops;
    int enumerations = 0;
};

// Special-folder numbers of the shell, written out here on their own.
namespace scripted_folder {
inline constexpr int kDesktop = 0, kPrograms = 2, kStartup = 7, kCommonPrograms = 23, kCommonStartup = 24,
                     kCommonDesktop = 25, kAppData = 26, kLocalAppData = 28, kProgramFiles = 38;
} // namespace scripted_folder

class ScriptedHost : public InstallerUi, public InstallerSystem {
public:
    ScriptedHost(std::string modulePath, std::string commandLine)
        : modulePath_(std::move(modulePath)), commandLine_(std::move(commandLine)) {}

    // Another start of a program: its module path and command line, and
    // nothing recorded yet. The registry, the special folders and what the
    // scripts have not used up stay.
    void Restart(std::string modulePath, std::string commandLine) {
        modulePath_ = std::move(modulePath);
        commandLine_ = std::move(commandLine);
        shown.clear();
        dialogs.clear();
        registryReads.clear();
        progressCaptions.clear();
        events.clear();
        windows.enumerations = 0;
    }

    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override {
        shown.push_back({text, caption, flags});
        events.push_back("message: " + text);
        if (answers.empty()) return kButtonOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Resolves every special folder the installation uses to a directory
    // below root named after it ("desktop", "common programs", ...).
    void PlaceSpecialFoldersBelow(const std::string& root) {
        using namespace scripted_folder;
        const std::pair<int, const char*> folders[] = {
            {kDesktop, "desktop"},
            {kPrograms, "programs"},
            {kStartup, "startup"},
            {kCommonPrograms, "common programs"},
            {kCommonStartup, "common startup"},
            {kCommonDesktop, "common desktop"},
            {kAppData, "appdata"},
            {kLocalAppData, "local appdata"},
            {kProgramFiles, "Program Files"},
        };
        for (const auto& [csidl, name] : folders) specialFolders[csidl] = BuildPath(root, name, nullptr);
    }

    std::string ModulePath() override { return modulePath_; }
    std::string RawCommandLine() override { return commandLine_; }

    bool RunOptionsDialog(const std::string& caption, std::string& directory, std::uint32_t& options) override {
        dialogs.push_back({caption, directory, options});
        events.push_back("dialog");
        if (dialogAnswers.empty()) return false;
        const DialogAnswer answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        if (!answer.ok) return false;
        directory = answer.directory;
        options = answer.options;
        return true;
    }
    // The registry as a map from scope and key path to the key's values; a
    // string is stored with its NUL, as Windows stores it. Each read is
    // recorded as its root and key ("HKLM\SOFTWARE\...").
    std::string ReadRegistryString(RegistryScope scope, const std::string& keyPath, const std::string& name,
                                   std::size_t bufferSize = kRegistryStringBufferSize) override {
        registryReads.push_back((scope == RegistryScope::Machine ? "HKLM\\" : "HKCU\\") + keyPath);
        const auto key = registry.find({scope, keyPath});
        if (key == registry.end()) return {};
        for (const RegistryValue& value : key->second)
            if (value.name == name && !value.isNumber) return value.text.size() + 1 < bufferSize ? value.text : "";
        return {};
    }
    // Registers path as the App Paths value of the executable fileName under
    // the root of scope, as the installed application does.
    void RegisterAppPath(RegistryScope scope, const std::string& fileName, const std::string& path) {
        registry[{scope, AppPathsKeyOf(fileName)}] = {{"", path}};
    }
    bool WriteRegistryValues(RegistryScope scope, const std::string& keyPath,
                             const std::vector<RegistryValue>& values) override {
        events.push_back("registry write: " + keyPath);
        if (registryFails) {
            SetLastErrorCode(kErrorAccessDenied);
            return false;
        }
        std::vector<RegistryValue>& stored = registry[{scope, keyPath}];
        for (const RegistryValue& value : values) {
            std::erase_if(stored, [&](const RegistryValue& old) { return old.name == value.name; });
            stored.push_back(value);
        }
        return true;
    }
    bool DeleteRegistryKey(RegistryScope scope, const std::string& keyPath) override {
        events.push_back("registry delete: " + keyPath);
        registry.erase({scope, keyPath});
        return !registryFails;
    }
    std::string SpecialFolderPath(int csidl) override {
        const auto it = specialFolders.find(csidl);
        return it != specialFolders.end() ? it->second : std::string();
    }
    // Records the shortcut; a path in failingShortcuts fails with
    // shortcutError, any other is written as a file holding the target, with
    // its missing directories, as the shell would save it.
    bool SaveShortcut(const std::string& linkPath, const std::string& target) override {
        events.push_back("shortcut: " + linkPath + " -> " + target);
        if (failingShortcuts.count(linkPath) != 0) {
            SetLastErrorCode(shortcutError);
            return false;
        }
        const std::filesystem::path path(linkPath);
        std::error_code ignored;
        if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
        std::ofstream(path, std::ios::binary) << target;
        return true;
    }
    // A shortcut file holds its target, as SaveShortcut writes it.
    std::string ShortcutTarget(const std::string& linkPath) override {
        std::ifstream in(linkPath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    bool ShellOpen(const std::string& path) override {
        events.push_back("open: " + path);
        if (shellError != 0) {
            SetLastErrorCode(shellError);
            return false;
        }
        return true;
    }
    void ShowProgress(const std::string& caption, const std::string& fileName, std::uint64_t doneBytes,
                      std::uint64_t totalBytes) override {
        progressCaptions.push_back(caption);
        events.push_back("progress: " + fileName + " " + std::to_string(doneBytes) + "/" + std::to_string(totalBytes));
    }
    void CloseProgress() override { events.push_back("progress closed"); }
    bool StartProgram(const std::string& program, const std::string& arguments) override {
        events.push_back("start: " + program + " " + arguments);
        return true;
    }
    bool WaitForProcessEnd(std::uint32_t processId, std::uint32_t) override {
        events.push_back("wait: " + std::to_string(processId));
        return true;
    }
    // A clock that moves on by millisecondsPerCall at every reading.
    std::uint64_t Milliseconds() override {
        clock += millisecondsPerCall;
        return clock;
    }
    WindowSystem& Windows() override { return windows; }

    std::vector<ShownMessage> shown;
    std::deque<int> answers;
    std::vector<DialogCall> dialogs;
    std::deque<DialogAnswer> dialogAnswers;
    std::vector<std::string> registryReads;
    std::map<int, std::string> specialFolders;
    std::map<std::pair<RegistryScope, std::string>, std::vector<RegistryValue>> registry;
    bool registryFails = false; // every write and delete fails with access denied
    std::set<std::string> failingShortcuts;
    std::uint32_t shortcutError = kErrorAccessDenied;
    std::uint32_t shellError = 0; // 0: every shell call succeeds
    ScriptedWindowSystem windows;
    std::vector<std::string> progressCaptions;
    std::uint64_t clock = 0;
    std::uint64_t millisecondsPerCall = 1000;
    // Message boxes, dialogs, shortcuts, progress and shell calls in the order made.
    std::vector<std::string> events;

private:
    std::string modulePath_;
    std::string commandLine_;
};
