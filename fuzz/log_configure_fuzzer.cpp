// Configures a fresh logging factory from arbitrary text: the configuration
// is a file a user (or anyone who can write to the profile folder) supplies.
// Each run applies the text twice, the second time over the first run's
// loggers and appenders, then dumps and shuts the factory down, so that
// merging, reuse by name and the teardown all see every shape of input.
//
// Besides what the sanitizers catch, the target aborts when configure
// reports success with error lines, or fails with none, or when a logger
// holds an appender the factory does not list.
#include "log/log_factory.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckAppendersListed(LogFactory& factory, const Logger& logger) {
    for (int i = 0; i < logger.appenderCount(); ++i) {
        const Appender* appender = logger.appenderAt(i);
        bool listed = false;
        for (int j = 0; j < factory.appenderCount() && !listed; ++j) listed = factory.appenderAt(j) == appender;
        Check(listed);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    LogFactory factory;
    for (int round = 0; round < 2; ++round) {
        std::string errors;
        const bool configured = factory.configure(text, errors, false);
        Check(configured == errors.empty());
    }
    CheckAppendersListed(factory, factory.root());
    for (int i = 0; i < factory.loggerCount(); ++i) CheckAppendersListed(factory, *factory.loggerAt(i));
    const std::string dump = factory.dumpLoggers();
    Check(!dump.empty());
    return 0;
}
