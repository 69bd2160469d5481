#include "app/packed_system_errors.h"

#include "common/uninitialised_data.h"
#include "compress/deflate_decoder.h"

#include <cstddef>
#include <iterator>
#include <new>
#include <vector>

namespace {

// kPackedSystemErrorCodeRuns: the codes, ascending, as runs of consecutive
// codes, each run as two values, its first code and the number of codes in
// it; kPackedSystemErrorTexts: a zlib-headed deflate stream of their texts in
// the same order, each with its NUL, kPackedSystemErrorTextBytes in all.
#include "app/packed_system_errors.inc"

constexpr std::size_t CountCodes() {
    std::size_t count = 0;
    for (std::size_t i = 1; i < std::size(kPackedSystemErrorCodeRuns); i += 2) count += kPackedSystemErrorCodeRuns[i];
    return count;
}

constexpr std::size_t kCount = CountCodes();

// The position of code among the codes, or kCount when it has no text.
std::size_t IndexOfCode(std::uint32_t code) {
    std::size_t index = 0;
    for (std::size_t i = 0; i + 1 < std::size(kPackedSystemErrorCodeRuns); i += 2) {
        const std::uint32_t first = kPackedSystemErrorCodeRuns[i], count = kPackedSystemErrorCodeRuns[i + 1];
        if (code < first) break;
        if (code - first < count) return index + (code - first);
        index += count;
    }
    return kCount;
}

enum class Expansion { NotTried, Done, Failed };

Expansion expansion = Expansion::NotTried;
std::vector<std::uint8_t>* texts = nullptr; // kept to the end of the process
ZOR_UNINITIALISED_DATA std::uint16_t offsets[kCount];

// Decodes the texts and finds where each starts: exactly kCount texts of
// exactly the recorded bytes, or none at all.
bool Expand() {
    DeflateDecoder decoder;
    texts = new (std::nothrow) std::vector<std::uint8_t>;
    if (texts == nullptr) return false;
    if (!decoder.Decode(kPackedSystemErrorTexts, sizeof kPackedSystemErrorTexts, *texts) ||
        texts->size() != kPackedSystemErrorTextBytes || texts->back() != 0)
        return false;
    std::size_t index = 0, start = 0;
    for (std::size_t at = 0; at < texts->size(); ++at) {
        if ((*texts)[at] != 0) continue;
        if (index == kCount) return false;
        offsets[index++] = static_cast<std::uint16_t>(start);
        start = at + 1;
    }
    return index == kCount;
}

} // namespace

const char* FindPackedSystemErrorText(std::uint32_t code) {
    if (expansion == Expansion::NotTried) expansion = Expand() ? Expansion::Done : Expansion::Failed;
    if (expansion != Expansion::Done) return nullptr;
    const std::size_t index = IndexOfCode(code);
    if (index == kCount) return nullptr;
    return reinterpret_cast<const char*>(texts->data()) + offsets[index];
}
