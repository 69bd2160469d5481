#include "tools/zorpack/console.h"

namespace zorpack {

int Report(Console& console, const std::string& message, int code) {
    console.err << "zorpack: " << message << '\n' << std::flush;
    return code;
}

LineStreamBuf::int_type LineStreamBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (c == '\n') WriteCompleteLines();
    return c;
}

std::streamsize LineStreamBuf::xsputn(const char* data, std::streamsize count) {
    pending_.append(data, static_cast<std::size_t>(count));
    WriteCompleteLines();
    return count;
}

int LineStreamBuf::sync() {
    if (!pending_.empty()) write_(pending_.data(), pending_.size());
    pending_.clear();
    return 0;
}

void LineStreamBuf::WriteCompleteLines() {
    const std::size_t end = pending_.rfind('\n');
    if (end == std::string::npos) return;
    write_(pending_.data(), end + 1);
    pending_.erase(0, end + 1);
}

} // namespace zorpack
