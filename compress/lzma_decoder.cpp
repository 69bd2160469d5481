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

constexpr std::size_t kInputBuffer = 16384;

struct InputRange {
    const std::uint8_t* begin;
    const std::uint8_t* end; // begin == end: the source has ended
};

struct LzmaDecoder::State {
    Model model;
    std::uint8_t input[kInputBuffer];
    bool inputEnded = false;
    const LzmaSource* read = nullptr;
    // The coder between calls (Coder holds it during one).
    std::uint32_t range = 0xFFFFFFFF;
    std::uint32_t code = 0;
    const std::uint8_t* in = input;
    const std::uint8_t* inEnd = input;

    // Out of line: one call in 16 KiB.
    [[gnu::noinline, gnu::cold]] InputRange Refill() {
        const std::size_t got = inputEnded ? 0 : (*read)(input, kInputBuffer);
        if (got == 0) {
            inputEnded = true;
            return {input, input};
        }
        return {input, input + std::min(got, kInputBuffer)};
    }
};

// Inlined where speed counts; where the build optimises for size (the
// installer's), the compiler chooses.
#ifdef __OPTIMIZE_SIZE__
#define ZOR_HOT_INLINE inline
#else
#define ZOR_HOT_INLINE [[gnu::always_inline]] inline
#endif

namespace {

// The range decoder's registers, a local of each call: nothing else can
// reach them, so they stay in registers across the window's byte stores
// (which could alias anything reachable through a pointer). The source
// running dry sets the state's inputEnded and feeds zeros.
struct Coder {
    explicit Coder(LzmaDecoder::State& s) : range(s.range), code(s.code), in(s.in), inEnd(s.inEnd), state(s) {}
    void Save() const {
        state.range = range;
        state.code = code;
        state.in = in;
        state.inEnd = inEnd;
    }

    std::uint32_t range, code;
    const std::uint8_t* in;
    const std::uint8_t* inEnd;
    LzmaDecoder::State& state;

    std::uint8_t NextByte() {
        if (in != inEnd) [[likely]]
            return *in++;
        const InputRange next = state.Refill();
        in = next.begin;
        inEnd = next.end;
        return in != inEnd ? *in++ : 0;
    }

    void Normalize() {
        if (range < kRangeTop) {
            range <<= 8;
            code = (code << 8) | NextByte();
        }
    }

    ZOR_HOT_INLINE unsigned Bit(Probability& p) {
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
    ZOR_HOT_INLINE std::uint32_t Length(LengthModel& m, unsigned posState) {
        if (!Bit(m.choice)) return Tree(m.low[posState], 3);
        if (!Bit(m.choice2)) return 8 + Tree(m.middle[posState], 3);
        return 16 + Tree(m.high, 8);
    }

    // A distance minus one, for a match of length minus kMinMatch.
    ZOR_HOT_INLINE std::uint32_t Distance(Model& model, std::uint32_t length) {
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

LzmaDecoder::LzmaDecoder() = default;
LzmaDecoder::~LzmaDecoder() = default;

LzmaResult LzmaDecoder::Start(const Properties& properties, std::uint64_t unpackedSize, std::uint32_t maxDictionary) {
    if (!properties.Valid()) return LzmaResult::BadProperties;
    if (properties.dictionarySize > maxDictionary) return LzmaResult::DictionaryTooLarge;
    properties_ = properties;
    dictionary_ = properties.EffectiveDictionary();
    const std::size_t size = WindowSize(dictionary_, unpackedSize);
    if (!Reserve(size)) return LzmaResult::OutOfMemory;
    size_ = size;
    state_->model.Reset();
    position_ = 0;
    total_ = 0;
    produced_ = 0;
    for (std::uint32_t& rep : reps_) rep = 0;
    symbolState_ = 0;
    return LzmaResult::Ok;
}

std::size_t LzmaDecoder::WindowSize(std::uint32_t dictionary, std::uint64_t unpackedSize) {
    const std::uint64_t reach = std::max<std::uint64_t>(std::max(dictionary, kMinDictionary), kDecodePiece + kMaxMatch);
    return static_cast<std::size_t>(std::max<std::uint64_t>(1, std::min(reach, unpackedSize)));
}

bool LzmaDecoder::Reserve(std::size_t size) {
    if (size > capacity_) {
        window_.reset(new (std::nothrow) std::uint8_t[size]);
        capacity_ = window_ ? size : 0;
    }
    if (!state_) state_.reset(new (std::nothrow) State);
    return window_ && state_;
}

LzmaResult LzmaDecoder::BeginSegment(const LzmaSource& read) {
    State& s = *state_;
    s.read = &read;
    s.in = s.inEnd = s.input;
    s.inputEnded = false;
    s.range = 0xFFFFFFFF;
    s.code = 0;
    produced_ = 0;
    Coder d(s);
    const std::uint8_t first = d.NextByte();
    for (int i = 0; i < 4; ++i) d.code = (d.code << 8) | d.NextByte();
    d.Save();
    if (s.inputEnded) return LzmaResult::Truncated;
    return first == 0 ? LzmaResult::Ok : LzmaResult::Corrupt;
}

LzmaResult LzmaDecoder::Decode(std::uint64_t segmentEnd, std::size_t wanted) {
    State& s = *state_;
    Model& model = s.model;
    Coder d(s);
    std::uint8_t* const out = window_.get();
    const std::size_t size = size_;
    std::size_t position = position_;
    std::uint64_t total = total_;
    const std::uint64_t stop = std::min(segmentEnd, total + std::min<std::size_t>(wanted, kDecodePiece));
    std::uint32_t rep0 = reps_[0], rep1 = reps_[1], rep2 = reps_[2], rep3 = reps_[3];
    int state = symbolState_;
    const unsigned posMask = (1u << properties_.pb) - 1;
    LzmaResult result = LzmaResult::Ok;
    auto room = [&] {
        if (position == size) position = 0;
    };
    auto back = [&](std::uint32_t distance) {
        return out[position > distance ? position - 1 - distance : position + size - 1 - distance];
    };
    auto fail = [&] { return s.inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt; };

    while (total < stop) {
        if (s.inputEnded) {
            result = LzmaResult::Truncated;
            break;
        }
        const unsigned posState = static_cast<unsigned>(total) & posMask;
        if (!d.Bit(model.isMatch[state][posState])) {
            const std::uint8_t previous = total ? back(0) : 0;
            Probability* probabilities = model.literal + LiteralContext(properties_, total, previous);
            unsigned symbol = 1;
            if (state >= kLiteralStates) {
                // Coded against the byte at rep0 until the first bit that differs.
                unsigned match = back(rep0), offset = 0x100;
                do {
                    match <<= 1;
                    const unsigned matchBit = match & offset;
                    const unsigned bit = d.Bit(probabilities[offset + matchBit + symbol]);
                    symbol = (symbol << 1) | bit;
                    offset &= bit ? matchBit : ~matchBit;
                } while (symbol < 0x100);
            } else {
                while (symbol < 0x100) symbol = (symbol << 1) | d.Bit(probabilities[symbol]);
            }
            room();
            out[position++] = static_cast<std::uint8_t>(symbol);
            ++total;
            state = NextStateAfterLiteral(state);
            continue;
        }
        std::uint32_t length;
        if (!d.Bit(model.isRep[state])) {
            length = d.Length(model.matchLength, posState);
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            rep0 = d.Distance(model, length);
            if (rep0 == kEndMarker) {
                result = fail();
                break;
            }
            state = NextStateAfterMatch(state);
        } else {
            if (!d.Bit(model.isRep0[state])) {
                if (!d.Bit(model.isRep0Long[state][posState])) {
                    if (rep0 >= total) {
                        result = fail();
                        break;
                    }
                    const std::uint8_t byte = back(rep0);
                    room();
                    out[position++] = byte;
                    ++total;
                    state = NextStateAfterShortRep(state);
                    continue;
                }
            } else {
                std::uint32_t distance;
                if (!d.Bit(model.isRep1[state])) {
                    distance = rep1;
                } else {
                    if (!d.Bit(model.isRep2[state])) {
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
            length = d.Length(model.repLength, posState);
            state = NextStateAfterRep(state);
        }
        length += kMinMatch;
        if (rep0 >= total || rep0 >= dictionary_ || length > segmentEnd - total) {
            result = fail();
            break;
        }
        total += length;
        room();
        std::size_t from = position > rep0 ? position - 1 - rep0 : position + size - 1 - rep0;
        if (position + length <= size && from + length <= size) {
            // The common case: neither end wraps. A source that overlaps
            // what is written repeats bytes, byte by byte; one past the
            // wrap lies after the destination, where memmove copies as a
            // forward byte loop would.
            if (rep0 >= length && length >= 32) {
                std::memcpy(out + position, out + from, length);
            } else {
                // Eight bytes at a time where the source lies eight or more
                // bytes back: each piece reads only bytes written before it.
                std::uint32_t i = 0;
                if (rep0 >= 7) {
                    for (; i + 8 <= length; i += 8) std::memcpy(out + position + i, out + from + i, 8);
                }
                for (; i < length; ++i) out[position + i] = out[from + i];
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
    d.Save();
    produced_ = static_cast<std::size_t>(total - total_);
    position_ = position;
    total_ = total;
    reps_[0] = rep0;
    reps_[1] = rep1;
    reps_[2] = rep2;
    reps_[3] = rep3;
    symbolState_ = state;
    return result;
}

LzmaResult LzmaDecoder::EndSegment(bool allowEndMarker) {
    State& s = *state_;
    Coder d(s);
    if (d.code != 0) {
        // Only an end marker may follow the last byte.
        if (!allowEndMarker || s.inputEnded) return s.inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt;
        const unsigned posState = static_cast<unsigned>(total_) & ((1u << properties_.pb) - 1);
        if (!d.Bit(s.model.isMatch[symbolState_][posState]) || d.Bit(s.model.isRep[symbolState_]))
            return LzmaResult::Corrupt;
        const std::uint32_t length = d.Length(s.model.matchLength, posState);
        const bool marker = d.Distance(s.model, length) == kEndMarker && d.code == 0;
        d.Save();
        if (!marker) return s.inputEnded ? LzmaResult::Truncated : LzmaResult::Corrupt;
    }
    return s.inputEnded ? LzmaResult::Truncated : LzmaResult::Ok;
}

bool LzmaDecoder::InputDrained() const { return state_->in == state_->inEnd; }

LzmaResult LzmaDecoder::Store(const LzmaSource& read, std::size_t count) {
    count = std::min(count, kDecodePiece);
    produced_ = 0;
    while (produced_ < count) {
        if (position_ == size_) position_ = 0;
        const std::size_t piece = std::min(count - produced_, size_ - position_);
        const std::size_t got = read(window_.get() + position_, piece);
        if (got == 0) return LzmaResult::Truncated;
        const std::size_t taken = std::min(got, piece);
        position_ += taken;
        produced_ += taken;
        total_ += taken;
    }
    return LzmaResult::Ok;
}

LzmaSpans LzmaDecoder::Produced() const {
    LzmaSpans spans;
    const std::uint8_t* out = window_.get();
    if (produced_ <= position_) {
        spans.first = {out + position_ - produced_, produced_};
    } else {
        const std::size_t tail = produced_ - position_;
        spans.first = {out + size_ - tail, tail};
        spans.second = {out, position_};
    }
    return spans;
}

LzmaResult DecodeLzma(const Properties& properties, std::uint64_t unpackedSize, std::uint32_t maxDictionary,
                      const LzmaSource& read, const std::function<void(const std::uint8_t*, std::size_t)>& write) {
    LzmaDecoder decoder;
    LzmaResult result = decoder.Start(properties, unpackedSize, maxDictionary);
    if (result == LzmaResult::Ok) result = decoder.BeginSegment(read);
    const auto emit = [&] {
        const LzmaSpans spans = decoder.Produced();
        if (spans.first.size) write(spans.first.data, spans.first.size);
        if (spans.second.size) write(spans.second.data, spans.second.size);
    };
    while (result == LzmaResult::Ok && decoder.Total() < unpackedSize) {
        result = decoder.Decode(unpackedSize, kDecodePiece);
        // The last piece waits for the end's checks: a stream that fails
        // there never writes all its bytes.
        if (result == LzmaResult::Ok && decoder.Total() < unpackedSize) emit();
    }
    if (result == LzmaResult::Ok) result = decoder.EndSegment(true);
    if (result == LzmaResult::Ok) emit();
    return result;
}
