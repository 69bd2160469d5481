// The timing side of bench/install_bench.sh, run under Wine: each mode runs
// one installation and prints its wall time in seconds on one line.
//
//   bench_driver install SETUP DIRECTORY NAME
//       starts the installer SETUP (built with --name NAME --version 1.0),
//       fills its options dialog with DIRECTORY and every option off, and
//       times from pressing OK to the appearance of its success message;
//   bench_driver dialog SETUP NAME
//       times the installer SETUP from its start to the appearance of its
//       options dialog, then ends it;
//   bench_driver run PROGRAM ARGUMENT...
//       times PROGRAM (zorpack.exe extract, an NSIS installer with /S) from
//       its start to its end; its exit code must be 0.
#include "common/windows_api.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kTimeoutMs = 600000;
constexpr int kDirectoryEdit = 1000, kOk = 1;
constexpr int kOptionBoxes[] = {1002, 1003, 1004, 1005, 1006};

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Waits for a visible top-level window with this caption, looking every few
// milliseconds: the time it appears is the measurement.
bool WaitUntilShown(const std::string& caption) {
    for (int waited = 0; waited < kTimeoutMs; waited += 2) {
        const HWND window = ::FindWindowA(nullptr, caption.c_str());
        if (window != nullptr && ::IsWindowVisible(window)) return true;
        ::Sleep(2);
    }
    return false;
}

int Install(const std::string& setup, const std::string& directory, const std::string& name) {
    ChildProcess process;
    if (!process.Start(setup, {"-f"})) {
        std::fprintf(stderr, "bench_driver: cannot start %s\n", setup.c_str());
        return 1;
    }
    const DrivenWindow dialog = WaitForWindow("Installation of " + name + " (1.0)", kTimeoutMs);
    if (!dialog) {
        std::fprintf(stderr, "bench_driver: no options dialog\n");
        return 1;
    }
    TypeText(dialog.handle, kDirectoryEdit, directory);
    for (int box : kOptionBoxes)
        if (IsChecked(dialog.handle, box)) ClickControl(dialog.handle, box);
    const Clock::time_point start = Clock::now();
    ::PostMessageA(static_cast<HWND>(dialog.handle), WM_COMMAND, MAKEWPARAM(kOk, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(static_cast<HWND>(dialog.handle), kOk)));
    const bool shown = WaitUntilShown(name + " installation");
    const double seconds = Since(start);
    const DrivenWindow result = shown ? WaitForWindow(name + " installation", kTimeoutMs) : DrivenWindow{};
    if (!result) {
        std::fprintf(stderr, "bench_driver: no result\n");
        return 1;
    }
    const std::string text = MessageText(result);
    PressButton(result, kOk);
    if (text != name + " (1.0) succesfully installed." || process.Wait() != 0) {
        std::fprintf(stderr, "bench_driver: the installation failed: %s\n", text.c_str());
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}

int Dialog(const std::string& setup, const std::string& name) {
    ChildProcess process; // ended when it goes out of scope
    const Clock::time_point start = Clock::now();
    if (!process.Start(setup, {"-f"})) {
        std::fprintf(stderr, "bench_driver: cannot start %s\n", setup.c_str());
        return 1;
    }
    if (!WaitUntilShown("Installation of " + name + " (1.0)")) {
        std::fprintf(stderr, "bench_driver: no options dialog\n");
        return 1;
    }
    std::printf("%.3f\n", Since(start));
    return 0;
}

// Arguments go on the command line as they are, quoted only when they hold a
// blank: NSIS takes "/D=DIR" only unquoted.
int Run(const std::string& program, const std::vector<std::string>& arguments) {
    std::string commandLine = "\"" + program + "\"";
    for (const std::string& argument : arguments)
        commandLine += " " + (argument.find(' ') == std::string::npos ? argument : "\"" + argument + "\"");
    const Clock::time_point start = Clock::now();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::fprintf(stderr, "bench_driver: cannot start %s\n", program.c_str());
        return 1;
    }
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(info.hThread);
    const double seconds = Since(start);
    if (code != 0) {
        std::fprintf(stderr, "bench_driver: %s ended with %lu\n", program.c_str(), code);
        return 1;
    }
    std::printf("%.3f\n", seconds);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "install" && argc == 5) return Install(argv[2], argv[3], argv[4]);
    if (mode == "dialog" && argc == 4) return Dialog(argv[2], argv[3]);
    if (mode == "run" && argc >= 3) return Run(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    std::fprintf(stderr,
                 "usage: bench_driver install SETUP DIRECTORY NAME | dialog SETUP NAME | run PROGRAM ARGUMENT...\n");
    return 2;
}
