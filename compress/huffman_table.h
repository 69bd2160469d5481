// Decoding tables for canonical Huffman codes (RFC 1951), read least
// significant bit first.
#pragma once

#include <cstdint>
#include <vector>

class HuffmanTable {
public:
    // How a code-length set may fall short of a complete code: never (the code
    // lengths code), or with a single code of length 1 or no code at all, as
    // encoders write for blocks that use one distance or none.
    enum class Completeness { Required, SingleCodeAllowed };

    // Builds the table for lengths[0..count). False for an over-subscribed
    // set and for an incomplete one that completeness does not allow.
    bool Build(const std::uint8_t* lengths, int count, Completeness completeness);

    struct Entry {
        std::uint16_t symbol;
        std::uint8_t length; // bits of the code; 0 for bits that start no code
        std::uint8_t subtableBits;
    };

    // The entry for the code at the start of bits, of which available are
    // valid. When the result's length is 0 or above available, the caller
    // needs more bits (if available is below Bits()) or has an invalid code.
    Entry Lookup(std::uint64_t bits) const {
        Entry entry = entries_[bits & rootMask_];
        if (entry.subtableBits != 0)
            entry = entries_[entry.symbol + ((bits >> rootBits_) & ((1u << entry.subtableBits) - 1))];
        return entry;
    }

    // The number of bits a lookup may examine: enough bits make any code certain.
    int Bits() const { return maxLength_; }

private:
    std::vector<Entry> entries_;
    int rootBits_ = 0;
    std::uint32_t rootMask_ = 0;
    int maxLength_ = 0;
};
