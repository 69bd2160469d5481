#include "tests/tools/zorlog-console/console_process.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

} // namespace

std::uint16_t WaitForListeningPort(ChildProcess& process, const std::string& errorPath) {
    const std::string marker = "zorlog-console: listening on ";
    const auto giveUp = std::chrono::steady_clock::now() + kGuard;
    while (std::chrono::steady_clock::now() < giveUp) {
        const std::string text = ReadMessages(errorPath);
        const std::size_t start = text.find(marker);
        const std::size_t end = text.find(" (Ctrl-C ends)\n", start);
        if (start != std::string::npos && end != std::string::npos) {
            const std::size_t colon = text.rfind(':', end);
            return static_cast<std::uint16_t>(std::stoul(text.substr(colon + 1, end - colon - 1)));
        }
        if (!process.Running()) return 0;
        std::this_thread::sleep_for(kPollInterval);
    }
    return 0;
}

bool WaitForFileSize(const std::string& path, std::size_t size) {
    const auto giveUp = std::chrono::steady_clock::now() + kGuard;
    for (;;) {
        std::error_code error;
        const std::uintmax_t now = std::filesystem::file_size(path, error);
        if (!error && now >= size) return true;
        if (std::chrono::steady_clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}
