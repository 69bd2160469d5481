#include "tests/tools/captured_run.h"

#include <fstream>
#include <iterator>

namespace captured_run_detail {

std::string ReadWithoutCarriageReturns(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    std::erase(text, '\r');
    return text;
}

} // namespace captured_run_detail
