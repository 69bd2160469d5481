#include "app/packed_system_errors.h"

#include "common/uninitialised_data.h"
#include "compress/deflate_decoder.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <new>
#include <vector>

namespace {

// kPackedSystemErrorCodes: the codes, ascending; kPackedSystemErrorTexts: a
// zlib-headed deflate stream of their texts in the same order, each with its
// NUL, kPackedSystemErrorTextBytes in all.
#include "app/packed_system_errors.inc"

constexpr std::size_t kCount = std::size(kPackedSystemErrorCodes);

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
    const std::uint16_t* end = std::end(kPackedSystemErrorCodes);
    const std::uint16_t* found = std::lower_bound(std::begin(kPackedSystemErrorCodes), end, code);
    if (found == end || *found != code) return nullptr;
    return reinterpret_cast<const char*>(texts->data()) + offsets[found - kPackedSystemErrorCodes];
}
