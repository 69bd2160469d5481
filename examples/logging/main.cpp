// A program that logs through the installed ZorLog package, set up by an XML
// configuration file (zorlog.xml beside this file).
//
//   zorlog_example [--dump] [CONFIG]
//
// CONFIG defaults to "zorlog.xml" in the current directory; the file targets
// it configures write example.log (and its backups), network.log and
// report.html into logs/ there. --dump prints the configuration as read and the
// loggers as set up. Warnings about the configuration go to standard error.
// Exit codes: 0 success, 1 the configuration failed,
// 2 bad command line or unreadable file.
//
// Two worker threads log through the categories "example.network" and
// "example.network.retry" and the root logger.
// tests/install/zorlog_package_test.sh runs this program and counts what it
// wrote: what is logged here and zorlog.xml are its expectations too.
#include "log/log_factory.h"

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

namespace {

constexpr int kWorkers = 2;
constexpr int kRequestsPerWorker = 100;

bool ReadTextFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    text = content.str();
    return true;
}

// Lets the workers begin together, so that their records interleave. (A
// mutex and a condition variable rather than std::latch: the MinGW runtime's
// latch can miss a wake-up and leave a thread waiting for ever.)
class StartGate {
public:
    explicit StartGate(int count) : waiting_(count) {}
    void arriveAndWait() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (--waiting_ == 0) {
            open_.notify_all();
            return;
        }
        open_.wait(lock, [this] { return waiting_ == 0; });
    }

private:
    std::mutex mutex_;
    std::condition_variable open_;
    int waiting_;
};

// What one thread of a client program might log. Every request goes through
// the network category; every fourth needs a second attempt, which the
// retry category reports; the outcome goes to the root logger.
void Work(int worker, StartGate& start, Logger& root, Logger& network, Logger& retry) {
    start.arriveAndWait();
    for (int request = 1; request <= kRequestsPerWorker; ++request) {
        network.debugFormat("worker %d: request %d: connecting to 127.0.0.1:8080", worker, request);
        network.infoFormat("worker %d: request %d: sent %d bytes", worker, request, 100 + request);
        if (request % 4 == 0) {
            // Below the retry category's threshold (INFO): never written.
            retry.debugFormat("worker %d: request %d: waiting %d ms", worker, request, 10 * request);
            retry.infoFormat("worker %d: request %d: no answer, second attempt", worker, request);
            network.warnFormat("worker %d: request %d: answered after a retry", worker, request);
        }
        if (request % 25 == 0) {
            root.errorFormat("worker %d: request %d: gave up", worker, request);
        } else {
            root.infoFormat("worker %d: request %d: done", worker, request);
        }
        // Below the root's threshold (INFO): never written.
        root.debugFormat("worker %d: request %d: bookkeeping", worker, request);
    }
}

} // namespace

int main(int argc, char** argv) {
    bool dump = false;
    std::string configPath = "zorlog.xml";
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dump") {
            dump = true;
        } else if (!arg.empty() && arg[0] != '-') {
            configPath = arg;
        } else {
            std::fprintf(stderr, "usage: zorlog_example [--dump] [CONFIG]\n");
            return 2;
        }
    }

    std::string config;
    if (!ReadTextFile(configPath, config)) {
        std::fprintf(stderr, "zorlog_example: cannot read %s\n", configPath.c_str());
        return 2;
    }

    // Set everything up before any thread logs: configure creates the
    // loggers and appenders, startAppenders opens files and sockets.
    LogFactory& factory = LogFactory::instance();
    std::string errors;
    if (!factory.configure(config, errors, false)) {
        std::fprintf(stderr, "zorlog_example: configuration %s:\n%s\n", configPath.c_str(), errors.c_str());
        return 1;
    }
    // Values the configuration read but could not use (a misspelt priority,
    // a negative size) change nothing that configure did; they are worth
    // telling whoever wrote the file.
    for (const std::string& warning : factory.configurationWarnings())
        std::fprintf(stderr, "zorlog_example: warning: %s\n", warning.c_str());
    if (!factory.startAppenders(errors)) {
        std::fprintf(stderr, "zorlog_example: %s\n", errors.c_str());
        return 1;
    }
    if (dump) {
        // Both texts end their lines with "\r\n".
        std::printf("%s\n%s", factory.configurationDump().c_str(), factory.dumpLoggers().c_str());
    }

    // Loggers are looked up once, here: the lookup is part of the set-up,
    // while logging through them is safe from any number of threads.
    Logger& root = factory.root();
    Logger& network = *factory.getLogger("example.network");
    Logger& retry = *factory.getLogger("example.network.retry");

    root.infoFormat("example started with %s", configPath.c_str());
    StartGate start(kWorkers);
    std::thread workers[kWorkers];
    for (int i = 0; i < kWorkers; ++i)
        workers[i] = std::thread(Work, i + 1, std::ref(start), std::ref(root), std::ref(network), std::ref(retry));
    for (std::thread& worker : workers) worker.join();
    root.infoFormat("example finished: %d workers, %d requests each", kWorkers, kRequestsPerWorker);

    // Closing writes the layouts' footers (the HTML report's end).
    if (!factory.stopAppenders(errors)) {
        std::fprintf(stderr, "zorlog_example: %s\n", errors.c_str());
        return 1;
    }
    return 0;
}
