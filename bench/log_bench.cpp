// Throughput of the logging path next to spdlog and a bare snprintf + write
// loop, measured in the same run on the same records, followed by a markdown
// table. Every file case writes the same million records (about 74 bytes
// each), with 1 thread and with 4 threads sharing one target: unbuffered,
// one write(2) per record (spdlog flushed after every record), and buffered
// (our "BufferSize" 65536 next to spdlog's default basic_file_sink_mt, whose
// stdio buffer is written when full). A line compares the pattern formatting
// alone, and the allocations each record costs are counted (operator new is
// replaced here).
//
// Timings are wall-clock medians of several rounds; the cases are interleaved
// within a round so that a noisy neighbour slows all of them alike. Nothing
// here judges the figures: the targets are printed beside the ratios.
#include "log/appenders/file_appender.h"
#include "log/layouts/pattern_layout.h"
#include "log/logger.h"
#include "log/logging_event.h"
#include "log/priority.h"

#include <spdlog/details/log_msg.h>
#include <spdlog/logger.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/version.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <latch>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

// Every allocation of the process, counted for the allocations-per-record
// lines; the rounds themselves count too, at the cost of one relaxed add.
std::atomic<std::uint64_t> gAllocations{0};

// Not inlined: GCC would otherwise see free() meet a pointer from operator
// new and warn of a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

constexpr std::uint32_t kRecords = 1'000'000;
constexpr std::size_t kBufferSize = 65536;
constexpr int kRounds = 5;
constexpr std::uint32_t kPoolSize = 4096; // distinct records the formatting case cycles through

// The message of record i, varied in three places so that no two neighbours
// are alike; printf and fmt spellings of the same text.
#define ZOR_BENCH_MESSAGE "user %u opened /srv/data/file-%06u.dat in %u ms (cache hit)"
constexpr char kMessageFormat[] = ZOR_BENCH_MESSAGE;
constexpr char kMessageFmt[] = "user {} opened /srv/data/file-{:06}.dat in {} ms (cache hit)";
// What "%-5p - %m%n" makes of an INFO record.
constexpr char kRecordFormat[] = "INFO  - " ZOR_BENCH_MESSAGE "\r\n";
constexpr char kLineEnd[] = "\r\n";

unsigned UserOf(std::uint32_t i) { return 10000 + i % 90000; }
unsigned FileOf(std::uint32_t i) { return (i * 7919u) % 1000000; }
unsigned MillisecondsOf(std::uint32_t i) { return 1 + i % 97; }

std::string MessageOf(std::uint32_t i) {
    char text[128];
    std::snprintf(text, sizeof text, kMessageFormat, UserOf(i), FileOf(i), MillisecondsOf(i));
    return text;
}

// The bytes every file case must leave behind: the records are the same text
// in all three (spdlog writes "info " where we write "INFO ").
std::uint64_t ExpectedFileSize() {
    std::uint64_t total = 0;
    char text[160];
    for (std::uint32_t i = 0; i < kRecords; ++i)
        total += static_cast<std::uint64_t>(
            std::snprintf(text, sizeof text, kRecordFormat, UserOf(i), FileOf(i), MillisecondsOf(i)));
    return total;
}

using Clock = std::chrono::steady_clock;

// Runs body(first, count) on `threads` threads, each over its own slice of
// the record numbers, released together; returns the seconds from the
// release to the last thread's end.
double RunThreads(int threads, const std::function<void(std::uint32_t, std::uint32_t)>& body) {
    const std::uint32_t slice = kRecords / static_cast<std::uint32_t>(threads);
    std::latch ready(threads);
    std::latch go(1);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&, t] {
            ready.count_down();
            go.wait();
            body(static_cast<std::uint32_t>(t) * slice, slice);
        });
    }
    ready.wait();
    const Clock::time_point start = Clock::now();
    go.count_down();
    for (std::thread& worker : workers) worker.join();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Bench {
public:
    explicit Bench(std::filesystem::path directory) : directory_(std::move(directory)) {}

    // bufferSize 0: one write per record.
    double Ours(int threads, std::size_t bufferSize) {
        const std::string path = NextPath("ours");
        PatternLayout layout;
        layout.setParam("ConversionPattern", "%-5p - %m%n");
        FileAppender appender("bench", LogPriority::kNotSet);
        appender.setParam("File", path);
        appender.setParam("Append", "false");
        appender.setParam("BufferSize", std::to_string(bufferSize));
        appender.setLayout(&layout);
        std::string error;
        if (!appender.start(error)) Fail("FileAppender::start: " + error);
        Logger logger("bench", LogPriority::kInfo, true);
        logger.addAppender(&appender);

        const std::uint64_t allocationsBefore = gAllocations.load();
        const double seconds = RunThreads(threads, [&](std::uint32_t first, std::uint32_t count) {
            for (std::uint32_t i = first; i < first + count; ++i)
                logger.infoFormat(kMessageFormat, UserOf(i), FileOf(i), MillisecondsOf(i));
        });
        lastAllocations = gAllocations.load() - allocationsBefore;
        if (!appender.stop(error)) Fail("FileAppender::stop: " + error);
        Check(path);
        return seconds;
    }

    // flushEach: each record reaches the file on its own; otherwise spdlog's
    // default, written when its stdio buffer is full.
    double Spdlog(int threads, bool flushEach) {
        const std::string path = NextPath("spdlog");
        double seconds = 0;
        {
            auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(path, true);
            spdlog::logger logger("bench", sink);
            // The same record text as ours, line end included.
            logger.set_formatter(
                std::make_unique<spdlog::pattern_formatter>("%-5l - %v", spdlog::pattern_time_type::local, kLineEnd));
            logger.set_level(spdlog::level::info);
            if (flushEach) logger.flush_on(spdlog::level::trace);
            const std::uint64_t allocationsBefore = gAllocations.load();
            seconds = RunThreads(threads, [&](std::uint32_t first, std::uint32_t count) {
                for (std::uint32_t i = first; i < first + count; ++i)
                    logger.info(kMessageFmt, UserOf(i), FileOf(i), MillisecondsOf(i));
            });
            lastAllocations = gAllocations.load() - allocationsBefore;
        }
        Check(path);
        return seconds;
    }

    double Raw(int threads) {
        const std::string path = NextPath("raw");
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) Fail("open " + path + ": " + std::strerror(errno));
        std::mutex lock;
        const double seconds = RunThreads(threads, [&](std::uint32_t first, std::uint32_t count) {
            char text[160];
            for (std::uint32_t i = first; i < first + count; ++i) {
                const int length =
                    std::snprintf(text, sizeof text, kRecordFormat, UserOf(i), FileOf(i), MillisecondsOf(i));
                std::lock_guard<std::mutex> guard(lock);
                if (::write(fd, text, static_cast<std::size_t>(length)) != length) Fail("write failed");
            }
        });
        ::close(fd);
        Check(path);
        return seconds;
    }

    // Records below the logger's threshold, on one thread; returns the
    // allocations they made.
    static std::uint64_t FilteredAllocations() {
        FileAppender appender("filtered", LogPriority::kNotSet);
        Logger logger("bench", LogPriority::kInfo, true);
        logger.addAppender(&appender);
        const std::uint64_t allocationsBefore = gAllocations.load();
        for (std::uint32_t i = 0; i < kRecords; ++i)
            logger.debugFormat(kMessageFormat, UserOf(i), FileOf(i), MillisecondsOf(i));
        return gAllocations.load() - allocationsBefore;
    }

    static void SetExpectedSize(std::uint64_t size) { expectedSize_ = size; }

    // The allocations of the last Ours or Spdlog run, thread start-up included.
    std::uint64_t lastAllocations = 0;

    [[noreturn]] static void Fail(const std::string& what) {
        std::fprintf(stderr, "log_bench: %s\n", what.c_str());
        std::exit(1);
    }

private:
    std::string NextPath(const char* stem) {
        return (directory_ / (std::string(stem) + "-" + std::to_string(++files_) + ".log")).string();
    }

    // Every case must have written every record whole; the file then goes,
    // so that the rounds do not pile up gigabytes.
    static void Check(const std::string& path) {
        std::error_code failure;
        const std::uintmax_t size = std::filesystem::file_size(path, failure);
        if (failure || size != expectedSize_)
            Fail(path + " holds " + std::to_string(failure ? 0 : size) + " bytes, expected " +
                 std::to_string(expectedSize_));
        std::filesystem::remove(path, failure);
    }

    std::filesystem::path directory_;
    int files_ = 0;
    static inline std::uint64_t expectedSize_ = 0;
};

// Pattern formatting alone, over a pool of ready records: ours into a reused
// std::string, spdlog's into a reused memory buffer. Returns seconds.
struct FormatCase {
    std::vector<std::string> messages;
    std::vector<LoggingEvent> events;
    std::vector<spdlog::details::log_msg> spdlogMessages;
    PatternLayout layout{"%-5p - %m%n"};
    spdlog::pattern_formatter formatter{"%-5l - %v", spdlog::pattern_time_type::local, kLineEnd};
    std::uint64_t sink = 0; // keeps the results alive

    FormatCase() {
        for (std::uint32_t i = 0; i < kPoolSize; ++i) messages.push_back(MessageOf(i));
        for (const std::string& message : messages) {
            LoggingEvent event;
            event.message = message;
            event.categoryName = "bench";
            event.priority = LogPriority::kInfo;
            event.threadName = CurrentThreadText();
            event.appenderName = "bench";
            event.appenderClassName = "FileAppender";
            events.push_back(std::move(event));
            spdlogMessages.emplace_back("bench", spdlog::level::info, message);
        }
    }

    double Ours() {
        std::string text;
        const Clock::time_point start = Clock::now();
        for (std::uint32_t i = 0; i < kRecords; ++i) {
            layout.format(events[i % kPoolSize], text);
            sink += text.size();
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    }

    double Spdlog() {
        spdlog::memory_buf_t text;
        const Clock::time_point start = Clock::now();
        for (std::uint32_t i = 0; i < kRecords; ++i) {
            text.clear();
            formatter.format(spdlogMessages[i % kPoolSize], text);
            sink += text.size();
        }
        return std::chrono::duration<double>(Clock::now() - start).count();
    }
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double RecordsPerSecond(double seconds) { return kRecords / seconds; }

// "1.23 M rec/s (813 ns)": throughput and the time one record takes.
std::string RateText(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f M rec/s (%.0f ns)", RecordsPerSecond(seconds) / 1e6,
                  seconds * 1e9 / kRecords);
    return text;
}

std::string SpreadText(const std::vector<double>& seconds) {
    const auto [low, high] = std::minmax_element(seconds.begin(), seconds.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.0f..%.0f ns", *low * 1e9 / kRecords, *high * 1e9 / kRecords);
    return text;
}

struct Row {
    const char* label;
    const std::vector<double>* ours;
    const std::vector<double>* peer;
    double target;      // 0: none, for information
    double stretch = 0; // a further aim beyond the target; 0: none
};

} // namespace

int main() {
    // A fresh directory under $TMPDIR (or /tmp), removed at the end.
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/zor-log-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) Bench::Fail("mkdtemp " + pattern + ": " + std::strerror(errno));
    const std::filesystem::path directory = pattern;

    Bench::SetExpectedSize(ExpectedFileSize());
    Bench bench(directory);
    FormatCase formatting;

    std::vector<double> ours1, ours4, spd1, spd4, raw1, raw4, buf1, buf4, spdBuf1, spdBuf4, fmtOurs, fmtSpd;
    // Allocations per record of the first round's runs on one thread.
    double allocOurs = 0, allocBuf = 0, allocSpd = 0, allocSpdBuf = 0;
    const auto perRecord = [&] { return static_cast<double>(bench.lastAllocations) / kRecords; };
    for (int round = 0; round < kRounds; ++round) {
        std::fprintf(stderr, "round %d/%d\n", round + 1, kRounds);
        ours1.push_back(bench.Ours(1, 0));
        if (round == 0) allocOurs = perRecord();
        spd1.push_back(bench.Spdlog(1, true));
        if (round == 0) allocSpd = perRecord();
        raw1.push_back(bench.Raw(1));
        buf1.push_back(bench.Ours(1, kBufferSize));
        if (round == 0) allocBuf = perRecord();
        spdBuf1.push_back(bench.Spdlog(1, false));
        if (round == 0) allocSpdBuf = perRecord();
        ours4.push_back(bench.Ours(4, 0));
        spd4.push_back(bench.Spdlog(4, true));
        raw4.push_back(bench.Raw(4));
        buf4.push_back(bench.Ours(4, kBufferSize));
        spdBuf4.push_back(bench.Spdlog(4, false));
        fmtOurs.push_back(formatting.Ours());
        fmtSpd.push_back(formatting.Spdlog());
    }
    const std::uint64_t allocFiltered = Bench::FilteredAllocations();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);

    std::printf("\nLogging: %u records of ~%zu bytes, median of %d rounds; spdlog %d.%d.%d\n\n", kRecords,
                MessageOf(12345).size() + std::strlen("INFO  - \r\n"), kRounds, SPDLOG_VER_MAJOR, SPDLOG_VER_MINOR,
                SPDLOG_VER_PATCH);
    const Row rows[] = {
        {"file, 1 thread: spdlog flush-each", &ours1, &spd1, 1.0},
        {"file, 4 threads: spdlog flush-each", &ours4, &spd4, 1.0},
        {"file, 1 thread: raw snprintf + write", &ours1, &raw1, 0.8},
        {"file, 4 threads: raw snprintf + write (mutex)", &ours4, &raw4, 0.8},
        {"file, 1 thread, BufferSize 65536: spdlog basic_file_sink_mt (buffered)", &buf1, &spdBuf1, 1.0, 1.5},
        {"file, 4 threads, BufferSize 65536: spdlog basic_file_sink_mt (buffered)", &buf4, &spdBuf4, 1.0, 1.5},
        {"pattern formatting only: spdlog pattern_formatter", &fmtOurs, &fmtSpd, 0.0},
    };
    std::printf("| case: peer | ours | peer | ratio (ours/peer, >1 = we are faster) | target |\n");
    std::printf("|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        const double ours = Median(*row.ours);
        const double peer = Median(*row.peer);
        const double ratio = peer / ours;
        char target[96];
        if (row.target > 0)
            std::snprintf(target, sizeof target, ">= %.1fx (%s)", row.target, ratio >= row.target ? "met" : "missed");
        if (row.stretch > 0)
            std::snprintf(target + std::strlen(target), sizeof target - std::strlen(target), "; >= %.1fx (%s)",
                          row.stretch, ratio >= row.stretch ? "met" : "missed");
        if (row.target <= 0) std::snprintf(target, sizeof target, "for information");
        std::printf("| %s | %s | %s | %.2fx | %s |\n", row.label, RateText(ours).c_str(), RateText(peer).c_str(), ratio,
                    target);
    }
    std::printf("\nAllocations per record, 1 thread (the thread's start included; in all for %u records):\n", kRecords);
    const struct {
        const char* label;
        double perRecord;
    } allocations[] = {
        {"ours, one write per record", allocOurs},
        {"ours, BufferSize 65536", allocBuf},
        {"spdlog, flush-each", allocSpd},
        {"spdlog, buffered", allocSpdBuf},
        {"ours, filtered by threshold", static_cast<double>(allocFiltered) / kRecords},
    };
    for (const auto& line : allocations)
        std::printf("  %-28s %.6f (%.0f)\n", line.label, line.perRecord, line.perRecord * kRecords);
    std::printf("\nSpread over the rounds (fastest..slowest ns per record):\n");
    const struct {
        const char* label;
        const std::vector<double>* runs;
    } spreads[] = {
        {"ours 1 thread", &ours1},       {"spdlog 1 thread", &spd1},      {"raw 1 thread", &raw1},
        {"ours 4 threads", &ours4},      {"spdlog 4 threads", &spd4},     {"raw 4 threads", &raw4},
        {"ours buffered 1", &buf1},      {"spdlog buffered 1", &spdBuf1}, {"ours buffered 4", &buf4},
        {"spdlog buffered 4", &spdBuf4}, {"ours formatting", &fmtOurs},   {"spdlog formatting", &fmtSpd},
    };
    for (const auto& spread : spreads) std::printf("  %-18s %s\n", spread.label, SpreadText(*spread.runs).c_str());
    if (formatting.sink == 0) return 1;
    return 0;
}
