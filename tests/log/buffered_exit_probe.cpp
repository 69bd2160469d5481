// Logs three INFO records through the process-wide factory into a file
// target with a 64 KiB buffer, then ends as argv[1] says: "return" from
// main, "exit" (exit code 4) or "throw" (an exception nobody catches). The
// records are below FlushPriority, so only the factory's shutdown or its
// std::terminate handler can put them in the file argv[2].
#include "log/log_factory.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    LogFactory& factory = LogFactory::instance();
    Appender* file = factory.createAppender("FileAppender", "buffered", LogPriority::kNotSet);
    file->setParam("File", argv[2]);
    file->setParam("BufferSize", "65536");
    std::string error;
    if (!file->start(error)) return 2;
    factory.root().addAppender(file);
    Logger* logger = factory.getLogger("probe");
    for (const char* text : {"one", "two", "three"}) logger->info(text);
    const std::string mode = argv[1];
    if (mode == "exit") std::exit(4);
    if (mode == "throw") throw std::runtime_error("nobody catches this");
    return 0;
}
