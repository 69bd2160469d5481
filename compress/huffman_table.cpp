// Two-level tables: a root table indexed by the first min(longest, 10) bits
// of the stream; codes longer than that point from their root entry to a
// subtable indexed by the bits that follow (up to 5 more, since codes have
// at most 15 bits). Codes are assigned canonically: shorter codes first, and
// within one length in symbol order.
#include "compress/huffman_table.h"

#include "compress/deflate_tables.h"

#include <algorithm>

namespace {

constexpr int kMaxRootBits = 10;

} // namespace

bool HuffmanTable::Build(const std::uint8_t* lengths, int count, Completeness completeness) {
    using deflate::kMaxCodeLength;
    int perLength[kMaxCodeLength + 1] = {};
    for (int symbol = 0; symbol < count; ++symbol) ++perLength[lengths[symbol]];
    perLength[0] = 0;

    maxLength_ = 0;
    int left = 1; // codes still free at the current length
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        left = (left << 1) - perLength[length];
        if (left < 0) return false; // over-subscribed
        if (perLength[length] != 0) maxLength_ = length;
    }
    const int codes = count - std::count(lengths, lengths + count, std::uint8_t{0});
    if (left > 0 && codes != 0) {
        const bool single = codes == 1 && perLength[1] == 1;
        if (completeness == Completeness::Required || !single) return false;
    }

    rootBits_ = std::min(std::max(maxLength_, 1), kMaxRootBits);
    rootMask_ = (1u << rootBits_) - 1;
    // Entries are value-initialised, every field 0: no code starts there.
    entries_.clear();
    entries_.resize(std::size_t{1} << rootBits_);

    // First code of each length, then each symbol's code in turn.
    std::uint32_t next[kMaxCodeLength + 2] = {};
    for (int length = 1, code = 0; length <= kMaxCodeLength; ++length) {
        code = (code + perLength[length - 1]) << 1;
        next[length] = static_cast<std::uint32_t>(code);
    }

    const int subtableBits = maxLength_ - rootBits_;
    for (int symbol = 0; symbol < count; ++symbol) {
        const int length = lengths[symbol];
        if (length == 0) continue;
        const std::uint32_t code = deflate::ReverseBits(next[length]++, length);
        const Entry entry{static_cast<std::uint16_t>(symbol), static_cast<std::uint8_t>(length), 0};
        if (length <= rootBits_) {
            for (std::uint32_t index = code; index < entries_.size() && index <= rootMask_; index += 1u << length)
                entries_[index] = entry;
            continue;
        }
        // A long code: its root entry leads to a subtable of subtableBits bits.
        Entry& root = entries_[code & rootMask_];
        if (root.subtableBits == 0) {
            root = {static_cast<std::uint16_t>(entries_.size()), 0, static_cast<std::uint8_t>(subtableBits)};
            entries_.resize(entries_.size() + (std::size_t{1} << subtableBits));
        }
        const std::uint32_t start = entries_[code & rootMask_].symbol;
        const int rest = length - rootBits_;
        for (std::uint32_t index = code >> rootBits_; index < (1u << subtableBits); index += 1u << rest)
            entries_[start + index] = entry;
    }
    return true;
}
