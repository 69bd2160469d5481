// The deflate encoder. Every archive's bytes depend on the rules below, so
// they are exact, not heuristics:
//
// Framing. The first call writes the zlib header 0x78 0x9C and opens a fixed
// Huffman block (3 bits of value 2). Every call then codes its input, closes
// the block with end-of-block, writes one empty fixed block (10 bits of value
// 2) and opens the next block (3 bits of value 2). Those 13 bits behind the
// end-of-block code push every bit of the call's data into its whole bytes;
// at most 7 bits stay in the bit buffer for the next call. Nothing is ever
// flushed or finished: no final block, no Adler-32.
//
// Candidates. At position P, with R >= 3 bytes left in this call's input and
// before P itself enters the chains, the candidates are the earlier positions
// of the last 32768 (distance 32768 included) whose three bytes equal the
// three at P, nearest first, at most 32 of them. The match is the longest
// common run with any candidate, capped at R, taken from the nearest
// candidate that reaches it. (Extending all candidates in lockstep until the
// last one drops out gives the same answer.) Matches have no length limit;
// EmitMatch cuts them into deflate pairs.
//
// Lazy evaluation. A match found at P is held and P advances by one. There,
// a new match at least 2 longer than the held one sends the held position as
// a literal and is held in turn; otherwise the held match is sent and the
// new one dropped. A held match is always sent before the call's input ends.
//
// Chains. Every byte passed over enters the chains while two more bytes of
// the stream follow it; the last one or two bytes of a call wait for the
// next call. The chains are kept per bucket of a hash of the three bytes; a
// random multiplier per codec keeps crafted input from piling every position
// into one bucket. The buckets never decide anything: a candidate must match
// all three bytes, so any bucketing gives the same candidates and output.
#include "compress/deflate_encoder.h"

#include "common/little_endian.h"
#include "common/system_info.h"
#include "compress/deflate_tables.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

using namespace deflate;

constexpr int kBucketBits = 16;
constexpr std::uint32_t kBucketCount = 1u << kBucketBits;
constexpr std::uint16_t kNoSlot = 0xFFFF;
constexpr std::uint32_t kWindowMask = kWindowSize - 1;
constexpr int kMaxCandidates = 32;
// History kept between calls: the window plus the up to two bytes still waiting.
constexpr std::size_t kHistoryKept = kWindowSize + 2;
// Absolute positions stay below 2^31: rebased past this, plus one call's input.
constexpr std::uint32_t kRebaseLimit = 1u << 30;

struct Code {
    std::uint16_t bits;
    std::uint8_t count;
};

// Fixed-Huffman codes, reversed for least-significant-bit-first output, with
// the extra bits of lengths already appended.
struct FixedCodes {
    std::array<Code, 256> literal;
    std::array<Code, kMaxMatch + 1> length;
    std::array<std::uint8_t, kDistanceSymbols> distanceCode; // reversed 5-bit codes
    std::array<std::uint8_t, 512> distanceSymbol;            // see DistanceSymbol

    constexpr FixedCodes() : literal(), length(), distanceCode(), distanceSymbol() {
        for (int byte = 0; byte < 256; ++byte) {
            const int count = FixedLiteralLengthBits(byte);
            const std::uint32_t code = byte < 144 ? 0x30 + byte : 0x190 + (byte - 144);
            literal[byte] = {static_cast<std::uint16_t>(ReverseBits(code, count)), static_cast<std::uint8_t>(count)};
        }
        // Increasing symbol order lets 285 overwrite 284 + 31 for length 258.
        for (int symbol = 0; symbol < kLengthSymbols; ++symbol) {
            const int code = 257 + symbol;
            const int count = FixedLiteralLengthBits(code);
            const std::uint32_t reversed = ReverseBits(code < 280 ? code - 256 : 0xC0 + (code - 280), count);
            const int extra = kLengthExtraBits[symbol];
            for (int offset = 0; offset < (1 << extra) && kLengthBase[symbol] + offset <= kMaxMatch; ++offset)
                length[kLengthBase[symbol] + offset] = {static_cast<std::uint16_t>(reversed | (offset << count)),
                                                        static_cast<std::uint8_t>(count + extra)};
        }
        for (int symbol = 0; symbol < kDistanceSymbols; ++symbol) {
            distanceCode[symbol] = static_cast<std::uint8_t>(ReverseBits(symbol, kFixedDistanceBits));
            const int first = kDistanceBase[symbol], last = first + (1 << kDistanceExtraBits[symbol]) - 1;
            for (int distance = first; distance <= last; ++distance) {
                const int slot = distance <= 256 ? distance - 1 : 256 + ((distance - 1) >> 7);
                distanceSymbol[slot] = static_cast<std::uint8_t>(symbol);
            }
        }
    }

    // The distance symbol whose range holds distance (1 to 32768).
    int DistanceSymbol(std::uint32_t distance) const {
        return distanceSymbol[distance <= 256 ? distance - 1 : 256 + ((distance - 1) >> 7)];
    }
};

constexpr FixedCodes kFixed;

// Length of the common run of a and b, known to hold at least 3 bytes, up to limit.
std::uint32_t CommonLength(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit) {
    std::uint32_t length = kMinMatch;
    while (length + 8 <= limit) {
        const std::uint64_t difference = LoadLittleEndian64(a + length) ^ LoadLittleEndian64(b + length);
        if (difference != 0) return length + (__builtin_ctzll(difference) >> 3);
        length += 8;
    }
    while (length < limit && a[length] == b[length]) ++length;
    return length;
}

struct Match {
    std::uint32_t distance = 0;
    std::uint32_t length = 0; // 0: no match
};

// One call's working set, held in locals while the call runs: the output is
// written through a byte pointer, which the compiler must otherwise assume
// may alias every member of the encoder.
struct Chains {
    const std::uint8_t* data; // the byte at absolute position dataStart
    std::uint32_t dataStart;
    std::uint16_t* heads;       // per bucket: window slot of its newest position
    std::uint16_t* slotBuckets; // per window slot: bucket of the position held there
    std::uint16_t* links;       // per window slot: distance to the next older position of its bucket
    std::uint32_t multiplier;
    std::uint32_t inserted;

    const std::uint8_t* At(std::uint32_t position) const { return data + (position - dataStart); }

    std::uint32_t Bucket(std::uint32_t trigram) const { return (trigram * multiplier) >> (32 - kBucketBits); }

    // The distance from position back to the newest position of bucket in the
    // window, or 0. A head is current while its slot still holds a position of
    // the same bucket: any later position of the bucket would have become the head.
    std::uint32_t HeadDistance(std::uint32_t bucket, std::uint32_t position) const {
        const std::uint16_t slot = heads[bucket];
        if (slot == kNoSlot || slotBuckets[slot] != bucket) return 0;
        return ((position - slot - 1) & kWindowMask) + 1;
    }

    void Insert(std::uint32_t position) {
        const std::uint32_t bucket = Bucket(LoadLittleEndian32(At(position)) & 0xFFFFFFu);
        const std::uint32_t slot = position & kWindowMask;
        const std::uint32_t distance = HeadDistance(bucket, position);
        links[slot] = static_cast<std::uint16_t>(distance < kWindowSize ? distance : 0);
        slotBuckets[slot] = static_cast<std::uint16_t>(bucket);
        heads[bucket] = static_cast<std::uint16_t>(slot);
    }

    // Enters the waiting positions before stop, in stream order, as long as
    // two more bytes follow them before end.
    void InsertBefore(std::uint32_t stop, std::uint32_t end) {
        while (inserted < stop && inserted + 2 < end) Insert(inserted++);
    }

    // The longest match at position among its candidates (see the top of the file).
    Match Find(std::uint32_t position, std::uint32_t end) const {
        Match best;
        const std::uint8_t* here = At(position);
        const std::uint32_t trigram = LoadLittleEndian32(here) & 0xFFFFFFu;
        std::uint32_t distance = HeadDistance(Bucket(trigram), position);
        if (distance == 0) return best;
        const std::uint32_t limit = end - position;
        int found = 0;
        for (;;) {
            const std::uint8_t* there = here - distance;
            // Only positions with the same three bytes count as candidates;
            // the load's fourth byte is always inside the buffer.
            if ((LoadLittleEndian32(there) & 0xFFFFFFu) == trigram) {
                const std::uint32_t length = CommonLength(there, here, limit);
                if (length > best.length) best = {distance, length};
                if (length == limit || ++found == kMaxCandidates) break;
            }
            const std::uint16_t link = links[(position - distance) & kWindowMask];
            if (link == 0) break;
            distance += link;
            if (distance > kWindowSize) break;
        }
        return best;
    }
};

// Bits go out least-significant first; whole 32-bit words are stored as soon
// as they fill, the rest waits in the buffer.
struct BitSink {
    std::uint64_t buffer;
    int count;
    std::uint8_t* out;

    void Put(std::uint32_t bits, int width) {
        buffer |= static_cast<std::uint64_t>(bits) << count;
        count += width;
        if (count >= 32) {
            const auto word = static_cast<std::uint32_t>(buffer);
            std::memcpy(out, &word, sizeof word);
            out += 4;
            buffer >>= 32;
            count -= 32;
        }
    }

    void StoreWholeBytes() {
        while (count >= 8) {
            *out++ = static_cast<std::uint8_t>(buffer);
            buffer >>= 8;
            count -= 8;
        }
    }

    void Literal(std::uint8_t byte) { Put(kFixed.literal[byte].bits, kFixed.literal[byte].count); }

    void Pair(std::uint32_t distance, std::uint32_t length) {
        Put(kFixed.length[length].bits, kFixed.length[length].count);
        const int symbol = kFixed.DistanceSymbol(distance);
        Put(kFixed.distanceCode[symbol], kFixedDistanceBits);
        Put(distance - kDistanceBase[symbol], kDistanceExtraBits[symbol]);
    }

    // One match of any length becomes deflate pairs of 258 while more than
    // 260 bytes remain; 259 or 260 leave the remainder minus 3, then 3.
    void Match(std::uint32_t distance, std::uint32_t length) {
        while (length > kMaxMatch + 2) {
            Pair(distance, kMaxMatch);
            length -= kMaxMatch;
        }
        if (length > kMaxMatch) {
            Pair(distance, length - kMinMatch);
            length = kMinMatch;
        }
        Pair(distance, length);
    }
};

} // namespace

DeflateEncoder::DeflateEncoder() = default;
DeflateEncoder::~DeflateEncoder() = default;

// The tables are made on first use: a codec that only decodes never needs them.
void DeflateEncoder::AllocateTables() {
    heads_.reset(new std::uint16_t[kBucketCount]);
    std::fill_n(heads_.get(), kBucketCount, kNoSlot);
    slotBuckets_.reset(new std::uint16_t[kWindowSize]());
    links_.reset(new std::uint16_t[kWindowSize]());
    // The system's random bytes, as std::random_device would give them; its
    // library object would bring exception handling into every program that
    // links the codec, the installer stub among them.
    std::uint32_t seed = 0;
    GetRandomBytes(&seed, sizeof seed);
    hashMultiplier_ = seed | 0x80000001u;
    data_.reserve(kHistoryKept + 65536 + 8);
}

// Only the heads need clearing: every other table entry a chain can reach
// is written when its position enters the chains, and a chain starts from a
// head, so nothing of the previous stream is reachable any more.
void DeflateEncoder::Reset() {
    data_.clear();
    dataStart_ = streamEnd_ = inserted_ = 0;
    if (heads_) std::fill_n(heads_.get(), kBucketCount, kNoSlot);
    bitBuffer_ = 0;
    bitCount_ = 0;
    headerPending_ = true;
}

// Drops all but the history the next call may reach, and moves absolute
// positions back by a multiple of the window (window slots stay where they
// are) long before they could wrap.
void DeflateEncoder::KeepHistoryOnly() {
    const std::size_t size = streamEnd_ - dataStart_;
    if (size > kHistoryKept) {
        const std::size_t drop = size - kHistoryKept;
        data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(drop));
        dataStart_ += static_cast<std::uint32_t>(drop);
    }
    if (streamEnd_ < kRebaseLimit) return;
    const std::uint32_t shift = dataStart_ & ~kWindowMask;
    dataStart_ -= shift;
    streamEnd_ -= shift;
    inserted_ -= shift;
}

bool DeflateEncoder::Encode(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output) {
    if (length > kMaxInput) return false;
    if (!heads_) AllocateTables();
    KeepHistoryOnly();
    const std::uint32_t start = streamEnd_;
    const std::uint32_t end = start + static_cast<std::uint32_t>(length);
    // The buffer keeps 8 bytes of slack after the stream for word loads.
    data_.resize(start - dataStart_);
    data_.insert(data_.end(), input, input + length);
    data_.resize(data_.size() + 8, 0);
    streamEnd_ = end;

    // Worst case: 9 bits per literal or 31 bits per match of 3, plus framing.
    output.resize(length + length / 3 + 64);
    BitSink bits{bitBuffer_, bitCount_, output.data()};
    Chains chains{data_.data(), dataStart_, heads_.get(), slotBuckets_.get(), links_.get(), hashMultiplier_, inserted_};
    if (headerPending_) {
        bits.Put(0x9C78, 16);
        bits.Put(2, 3);
        headerPending_ = false;
    }

    chains.InsertBefore(start, end); // bytes left waiting by the previous call
    Match held;
    std::uint32_t heldAt = 0;
    std::uint32_t position = start;
    while (position < end) {
        const Match found = end - position >= kMinMatch ? chains.Find(position, end) : Match{};
        if (held.length != 0 && (found.length == 0 || found.length < held.length + 2)) {
            bits.Match(held.distance, held.length);
            position = heldAt + held.length;
            held = {};
        } else {
            if (held.length != 0)
                bits.Literal(*chains.At(heldAt));
            else if (found.length == 0)
                bits.Literal(*chains.At(position));
            held = found;
            heldAt = position++;
        }
        chains.InsertBefore(position, end);
    }
    if (held.length != 0) bits.Match(held.distance, held.length);

    bits.Put(0, 7);  // end of block
    bits.Put(2, 10); // an empty fixed block
    bits.Put(2, 3);  // the block the next call continues
    bits.StoreWholeBytes();
    output.resize(static_cast<std::size_t>(bits.out - output.data()));
    bitBuffer_ = bits.buffer;
    bitCount_ = bits.count;
    inserted_ = chains.inserted;
    return true;
}
