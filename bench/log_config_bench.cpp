// Two costs of the logging framework's set-up and filtering, measured in the
// same run: configure calls per second on the example configuration (each on
// a fresh factory, shut down afterwards), and the cost of a record that the
// logger's threshold filters out, next to spdlog's call at a disabled level.
//
// Filtered calls are measured for a plain message and for a printf-style
// call with two arguments (spdlog: the fmt spelling of the same message).
// Timings are wall-clock medians of several interleaved rounds.
#include "log/log_factory.h"
#include "log/logger.h"

#include <spdlog/logger.h>
#include <spdlog/sinks/null_sink.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 5;
constexpr std::uint32_t kConfigureCalls = 2000;
constexpr std::uint32_t kFilteredCalls = 20'000'000;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ReadText(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "log_config_bench: cannot read %s\n", path);
        std::exit(1);
    }
    return std::string(std::istreambuf_iterator<char>(in), {});
}

double ConfigureRound(const std::string& configuration) {
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kConfigureCalls; ++i) {
        LogFactory factory;
        std::string errors;
        if (!factory.configure(configuration, errors, false)) {
            std::fprintf(stderr, "log_config_bench: the configuration fails: %s\n", errors.c_str());
            std::exit(1);
        }
    }
    return Seconds(start);
}

double OursPlain(Logger& logger) {
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kFilteredCalls; ++i) logger.debug("cache miss for a key that nobody asked about");
    return Seconds(start);
}

double OursFormat(Logger& logger) {
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kFilteredCalls; ++i) logger.debugFormat("user %u opened file %u", i, i * 7u);
    return Seconds(start);
}

double SpdlogPlain(spdlog::logger& logger) {
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kFilteredCalls; ++i) logger.debug("cache miss for a key that nobody asked about");
    return Seconds(start);
}

double SpdlogFormat(spdlog::logger& logger) {
    const Clock::time_point start = Clock::now();
    for (std::uint32_t i = 0; i < kFilteredCalls; ++i) logger.debug("user {} opened file {}", i, i * 7u);
    return Seconds(start);
}

double Nanoseconds(double seconds) { return seconds * 1e9 / kFilteredCalls; }

} // namespace

int main(int argc, char** argv) {
    const std::string configuration = ReadText(argc > 1 ? argv[1] : ZOR_EXAMPLE_CONFIGURATION);

    LogFactory factory;
    Logger* ours = factory.createLogger("bench.filtered", LogPriority::kInfo, false);
    auto spd = std::make_shared<spdlog::logger>("bench", std::make_shared<spdlog::sinks::null_sink_st>());
    spd->set_level(spdlog::level::info);

    std::vector<double> configure, plain, plainPeer, format, formatPeer;
    for (int round = 0; round < kRounds; ++round) {
        std::fprintf(stderr, "round %d/%d\n", round + 1, kRounds);
        configure.push_back(ConfigureRound(configuration));
        plain.push_back(OursPlain(*ours));
        plainPeer.push_back(SpdlogPlain(*spd));
        format.push_back(OursFormat(*ours));
        formatPeer.push_back(SpdlogFormat(*spd));
    }

    std::printf("\nConfiguration: %u configure calls on a fresh factory each (example configuration, %zu bytes), "
                "median of %d rounds\n\n",
                kConfigureCalls, configuration.size(), kRounds);
    std::printf("| case | ours |\n|---|---|\n");
    std::printf("| configure + shutdown | %.0f calls/s (%.1f us) |\n\n", kConfigureCalls / Median(configure),
                Median(configure) * 1e6 / kConfigureCalls);
    std::printf("Filtered records: %u calls below the logger's threshold, median of %d rounds\n\n", kFilteredCalls,
                kRounds);
    std::printf("| case: peer | ours | peer | ratio (peer/ours, >1 = we are faster) |\n|---|---|---|---|\n");
    std::printf("| debug(text): spdlog debug(text) | %.2f ns | %.2f ns | %.2fx |\n", Nanoseconds(Median(plain)),
                Nanoseconds(Median(plainPeer)), Median(plainPeer) / Median(plain));
    std::printf("| debugFormat(\"%%u %%u\"): spdlog debug(\"{} {}\") | %.2f ns | %.2f ns | %.2fx |\n\n",
                Nanoseconds(Median(format)), Nanoseconds(Median(formatPeer)), Median(formatPeer) / Median(format));
    return 0;
}
