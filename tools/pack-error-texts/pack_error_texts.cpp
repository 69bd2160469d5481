// Writes app/packed_system_errors.inc to standard output: the codes of the
// system error table, as runs of consecutive codes, and its texts, deflated
// with the smallest of our encoders. Run after a change to common/system_error_table.cpp:
//   build/native/bin/pack-error-texts > app/packed_system_errors.inc
#include "common/error_tables.h"
#include "compress/deflate_best_encoder.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Prints values as rows of at most perLine, each followed by a comma.
template <typename T>
void PrintValues(const std::vector<T>& values, std::size_t perLine, const char* format) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::printf(i % perLine == 0 ? "    " : " ");
        std::printf(format, static_cast<unsigned>(values[i]));
        std::printf(",%s", i % perLine == perLine - 1 || i + 1 == values.size() ? "\n" : "");
    }
}

} // namespace

int main() {
    std::vector<unsigned> codes;
    std::vector<std::uint8_t> texts;
    for (std::size_t i = 0; i < kSystemErrorTextCount; ++i) {
        const ErrorTextEntry entry = SystemErrorTextEntry(i);
        codes.push_back(entry.code);
        texts.insert(texts.end(), entry.text, entry.text + std::strlen(entry.text) + 1);
    }
    DeflateBestEncoder encoder;
    std::vector<std::uint8_t> packed;
    if (!encoder.Encode(texts.data(), texts.size(), packed)) return 1;

    std::printf("// Written by tools/pack-error-texts from common/system_error_table.cpp: do\n"
                "// not edit. %zu texts, %zu bytes, deflated to %zu.\n",
                codes.size(), texts.size(), packed.size());
    // The codes come in runs of consecutive ones: each run as its first code
    // and its length.
    std::vector<unsigned> runs;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i == 0 || codes[i] != codes[i - 1] + 1) runs.insert(runs.end(), {codes[i], 0});
        ++runs.back();
    }
    std::printf("inline constexpr std::uint16_t kPackedSystemErrorCodeRuns[] = {\n");
    PrintValues(runs, 12, "%u");
    std::printf("};\ninline constexpr std::size_t kPackedSystemErrorTextBytes = %zu;\n", texts.size());
    std::printf("inline constexpr std::uint8_t kPackedSystemErrorTexts[] = {\n");
    PrintValues(packed, 16, "0x%02X");
    std::printf("};\n");
    return std::ferror(stdout) ? 1 : 0;
}
