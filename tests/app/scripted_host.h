// A stand-in for the system the installer runs on: it states a module path
// and a command line, records every message box in order and answers each
// with the next scripted button (OK once the script runs out).
#pragma once

#include "app/installer_host.h"

#include <deque>
#include <ostream>
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

class ScriptedHost : public InstallerHost {
public:
    ScriptedHost(std::string modulePath, std::string commandLine)
        : modulePath_(std::move(modulePath)), commandLine_(std::move(commandLine)) {}

    int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override {
        shown.push_back({text, caption, flags});
        if (answers.empty()) return kButtonOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string ModulePath() override { return modulePath_; }
    std::string RawCommandLine() override { return commandLine_; }

    std::vector<ShownMessage> shown;
    std::deque<int> answers;

private:
    std::string modulePath_;
    std::string commandLine_;
};
