// The LZMA decoder: one loop over symbols, each an is-match decision followed
// by a literal, a match (length, then distance) or one of the rep forms.
//
// Invariants of the loop:
// - range >= 2^24 before every decision (the coder normalizes after each bit),
//   and code < range while the stream is sound;
// - total bytes have been decoded; the byte at total - 1 - d (d < total) sits
//   at out[(position + size - 1 - d) % size], and d < size holds for every
//   distance accepted, since a distance is checked against both total and
//   the declared dictionary, and size is the smaller of the dictionary and
//   the unpacked size;
// - rep0..rep3 hold distances minus one; a rep match checks its distance
//   again, since the initial zeros were never checked.
//
// The source running dry sets inputEnded and feeds zeros; the loop stops at
// the next symbol. A sound stream ends with code == 0: the encoder's flush
// leaves exactly its low bound, so a stream cut or damaged near its end is
// caught there too.
#include "compress/lzma_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

using namespace lzma;

namespace {

constexpr std::size_t kInputBuffer = 16384;

struct Decoder {
    Model model;
    std::uint8_t input[kInputBuffer];
    const std::uint8_t* in = input;
    const std::uint8_t* inEnd = input;
    bool inputEnded = false;
    const std::function<std::size_t(void*, std::size_t)>* read = nullptr;

    std::uint32_t range = 0xFFFFFFFF;
    std::uint32_t code = 0;

    std::uint8_t NextByte() { return in != inEnd ? *in++ : Refill(); }

    // Out of line: one call in 16 KiB, from every bit decoded.
    [[gnu::noinline, gnu::cold]] std::uint8_t Refill() {
        const std::size_t got = inputEnded ? 0 : (*read)(input, kInputBuffer);
        if (got == 0) {
            inputEnded = true;
            return 0;
        }
        in = input;
        inEnd = input + std::min(got, kInputBuffer);
        return *in++;
    }

    void Normalize() {
        if (range < kRangeTop) {
            range <<= 8;
            code = (code << 8) | NextByte();
        }
    }

    unsigned Bit(Probability& p) {
        const std::uint32_t bound = (range >> kProbabilityBits) * p;
        unsigned bit;
        if (code < bound) {
            range = bound;
            p = static_cast<Probability>(p + ((kProbabilityOne - p) >> kMoveBits));
            bit = 0;
        } else {
            range -= bound;
            code -= bound;
            p = static_cast<Probability>(p - (p >> kMoveBits));
            bit = 1;
        }
        Normalize();
        return bit;
    }

    // A bits-deep tree, most significant bit first.
    unsigned Tree(Probability* probabilities, int bits) {
        unsigned node = 1;
        for (int i = 0; i < bits; ++i) node = (node << 1) | Bit(probabilities[node]);
        return node - (1u << bits);
    }

    // A bits-deep tree, least significant bit first.
    unsigned ReverseTree(Probability* probabilities, int bits) {
        unsigned node = 1, value = 0;
        for (int i = 0; i < bits; ++i) {
            const unsigned bit = Bit(probabilities[node]);
            node = (node << 1) | bit;
            value |= bit << i;
        }
        return value;
    }

    std::uint32_t DirectBits(int count) {
        std::uint32_t value = 0;
        do {
            range >>= 1;
            const std::uint32_t one = code >= range;
            code -= range & (0 - one);
            value = (value << 1) | one;
            Normalize();
        } while (--count != 0);
        return value;
    }

    // A length minus kMinMatch.
    std::uint32_t Length(LengthModel& m, unsigned posState) {
        if (!Bit(m.choice)) return Tree(m.low[posState], 3);
        if (!Bit(m.choice2)) return 8 + Tree(m.middle[posState], 3);
        return 16 + Tree(m.high, 8);
    }

    // A distance minus one, for a match of length minus kMinMatch.
    std::uint32_t Distance(std::uint32_t length) {
        const std::uint32_t slot = Tree(model.slot[LengthState(length + kMinMatch)], kSlotBits);
        if (slot < kFirstCodedSlot) return slot;
        const int footerBits = static_cast<int>(slot >> 1) - 1;
        std::uint32_t distance = (2 | (slot & 1)) << footerBits;
        if (slot < kFirstDirectSlot)
            return distance + ReverseTree(model.distanceBits + distance - slot - 1, footerBits);
        distance += DirectBits(footerBits - kAlignBits) << kAlignBits;
        return distance + ReverseTree(model.align, kAlignBits);
    }
};

} // namespace

LzmaResult DecodeLzma(const Properties& properties, std::uint64_t unpackedSize, std::uint32_t maxDictionary,
                      const std::function<std::size_t(void*, std::size_t)>& read,
                      const std::function<void(const std::uint8_t*, std::size_t)>& write) {
    if (!properties.Valid()) return LzmaResult::BadProperties;
    if (properties.dictionarySize > maxDictionary) return LzmaResult::DictionaryTooLarge;
    const std::uint32_t dictionary = properties.EffectiveDictionary();
    const std::size_t size =
        static_cast<std::size_t>(std::max<std::uint64_t>(1, std::min<std::uint64_t>(dictionary, unpackedSize)));
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size]);
    std::unique_ptr<Decoder> d(new (std::nothrow) Decoder);
    if (!buffer || !d) return LzmaResult::OutOfMemory;
    d->model.Reset();
    d->read = &read;

    const std::uint8_t first = d->NextByte();
    for (int i = 0; i < 4; ++i) d->code = (d->code << 8) | d->NextByte();
    if (d->inputEnded) return LzmaResult::Truncated;
    if (first != 0) return LzmaResult::Corrupt;

    std::uint8_t* const out = buffer.get();
    std::size_t position = 0; // in out; bytes before it not yet written
    std::uint64_t total = 0;
    std::uint32_t rep0 = 0, rep1 = 0, rep2 = 0, rep3 = 0;
    int state = 0;
    const unsigned posMask = (1u << properties.pb) - 1;
    // Makes room for one byte: a full buffer goes out before its first byte is
    // overwritten, so a stream failing at its end never writes all its bytes.
    auto room = [&] {
        if (position == size) {
            write(out, size);
            position = 0;
        }
    };
    auto back = [&](std::uint32_t distance) {
        return out[position > distance ? position - 1 - distance : position + size - 1 - distance];
    };

    while (total < unpackedSize) {
        if (d->inputEnded) return LzmaResult::Truncated;
        const unsigned posState = static_cast<unsigned>(total) & posMask;
        if (!d->Bit(d->model.isMatch[state][posState])) {
            const std::uint8_t previous = total ? back(0) : 0;
            Probability* probabilities = d->model.literal + LiteralContext(properties, total, previous);
            unsigned symbol = 1;
            if (state >= kLiteralStates) {
                // Coded against the byte at rep0 until the first bit that differs.
                unsigned match = back(rep0), offset = 0x100;
                do {
                    match <<= 1;
                    const unsigned matchBit = match & offset;
                    const unsigned bit = d->Bit(probabilities[offset + matchBit + symbol]);
                    symbol = (symbol << 1) | bit;
                    offset &= bit ? matchBit : ~matchBit;
                } while (symbol < 0x100);
            } else {
                while (symbol < 0x100) symbol = (symbol << 1) | d->Bit(probabilities[symbol]);
            }
            room();
            out[position++] = static_cast<std::uint8_t>(symbol);
            ++total;
            state = NextStateAfterLiteral(state);
            continue;
        }
        std::uint32_t length;
        if (!d->Bit(d->model.isRep[state])) {
            length = d->Length(d->model.matchLength, posState);
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            rep0 = d->Distance(length);
            if (rep0 == kEndMarker) return d->inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt;
            state = NextStateAfterMatch(state);
        } else {
            if (!d->Bit(d->model.isRep0[state])) {
                if (!d->Bit(d->model.isRep0Long[state][posState])) {
                    if (rep0 >= total) return d->inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt;
                    const std::uint8_t byte = back(rep0);
                    room();
                    out[position++] = byte;
                    ++total;
                    state = NextStateAfterShortRep(state);
                    continue;
                }
            } else {
                std::uint32_t distance;
                if (!d->Bit(d->model.isRep1[state])) {
                    distance = rep1;
                } else {
                    if (!d->Bit(d->model.isRep2[state])) {
                        distance = rep2;
                    } else {
                        distance = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = distance;
            }
            length = d->Length(d->model.repLength, posState);
            state = NextStateAfterRep(state);
        }
        length += kMinMatch;
        if (rep0 >= total || rep0 >= dictionary || length > unpackedSize - total) {
            return d->inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt;
        }
        total += length;
        std::size_t from = position > rep0 ? position - 1 - rep0 : position + size - 1 - rep0;
        if (position + length <= size && from + length <= size) {
            // The common case: neither end wraps. A source that overlaps
            // what is written repeats bytes, byte by byte; one past the
            // wrap lies after the destination, where memmove copies as a
            // forward byte loop would.
            if (rep0 >= length) {
                std::memmove(out + position, out + from, length);
            } else {
                for (std::uint32_t i = 0; i < length; ++i) out[position + i] = out[from + i];
            }
            position += length;
        } else {
            do {
                room();
                out[position++] = out[from];
                if (++from == size) from = 0;
            } while (--length != 0);
        }
    }
    if (d->code != 0) {
        // Only an end marker may follow the last byte.
        if (d->inputEnded) return LzmaResult::Truncated;
        const unsigned posState = static_cast<unsigned>(total) & posMask;
        if (!d->Bit(d->model.isMatch[state][posState]) || d->Bit(d->model.isRep[state])) return LzmaResult::Corrupt;
        const std::uint32_t length = d->Length(d->model.matchLength, posState);
        if (d->Distance(length) != kEndMarker || d->code != 0) {
            return d->inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt;
        }
    }
    if (d->inputEnded) return LzmaResult::Truncated;
    if (position) write(out, position);
    return LzmaResult::Ok;
}
