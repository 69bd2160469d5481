// Where zorpack writes, and what its exit codes mean.
#pragma once

#include "common/standard_streams.h"

#include <cstddef>
#include <functional>
#include <ostream>
#include <streambuf>
#include <string>

namespace zorpack {

enum ExitCode : int { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

struct Console {
    std::ostream& out; // results and progress
    std::ostream& err; // one line per failure, starting "zorpack: "
    bool interactive;  // out is a terminal: a live progress line is welcome
};

// Writes "zorpack: <message>" as one line to err and returns code.
int Report(Console& console, const std::string& message, int code = kExitFailure);

// A stream buffer that writes whole lines: the complete lines of each output
// operation, and whatever is pending when the stream is flushed, go out in
// one write. Writing a byte at a time costs a system call per byte, which
// under Wine is a round trip to its server.
class LineStreamBuf : public std::streambuf {
public:
    using Writer = std::function<void(const char* data, std::size_t size)>;

    explicit LineStreamBuf(StandardStream stream)
        : write_([stream](const char* data, std::size_t size) { WriteText(stream, std::string_view(data, size)); }) {}
    explicit LineStreamBuf(Writer write) : write_(std::move(write)) {}
    ~LineStreamBuf() override { sync(); }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* data, std::streamsize count) override;
    int sync() override;

private:
    void WriteCompleteLines();

    Writer write_;
    std::string pending_;
};

} // namespace zorpack
