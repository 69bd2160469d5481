// The LZMA encoder: a hash-chain match finder over a sliding window and a
// lazy parser that weighs rep matches against new ones.
//
// The window holds the source from absolute position base_ on; pos_ is the
// next byte to code. At least dictionary bytes stay behind pos_ when the
// window slides, so every distance up to the dictionary can be reached.
// Hash tables and chains store window indices plus one (0: none); sliding
// rebases them.
//
// Every position is entered into three tables before the parser moves past
// it: the last position of each 2-byte pair, the last position of each
// 3-byte hash, and chains of positions sharing a 4-byte hash.
#include "compress/lzma_encoder.h"

#include "common/little_endian.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

using namespace lzma;

namespace {

constexpr std::size_t kOutputPiece = 65536;
constexpr std::uint32_t kLookahead = kMaxMatch + 2;
constexpr int kHash3Bits = 16;

// Prices in 1/16 bit: kPrice[p >> 4] codes a bit of probability p / 2048.
struct PriceTable {
    std::uint32_t price[kProbabilityOne >> 4];
    PriceTable() {
        for (unsigned i = 0; i < std::size(price); ++i)
            price[i] = static_cast<std::uint32_t>(-std::log2((i * 16 + 8) / 2048.0) * 16 + 0.5);
    }
};
const PriceTable kPrices;

std::uint32_t BitPrice(Probability p, unsigned bit) {
    return kPrices.price[(bit ? kProbabilityOne - p : p) >> 4];
}

class RangeEncoder {
public:
    explicit RangeEncoder(const std::function<void(const std::uint8_t*, std::size_t)>& write) : write_(write) {
        out_.reserve(kOutputPiece);
    }

    void Bit(Probability& p, unsigned bit) {
        const std::uint32_t bound = (range_ >> kProbabilityBits) * p;
        if (!bit) {
            range_ = bound;
            p = static_cast<Probability>(p + ((kProbabilityOne - p) >> kMoveBits));
        } else {
            low_ += bound;
            range_ -= bound;
            p = static_cast<Probability>(p - (p >> kMoveBits));
        }
        while (range_ < kRangeTop) {
            range_ <<= 8;
            ShiftLow();
        }
    }

    void Tree(Probability* probabilities, int bits, unsigned value) {
        unsigned node = 1;
        for (int i = bits - 1; i >= 0; --i) {
            const unsigned bit = (value >> i) & 1;
            Bit(probabilities[node], bit);
            node = (node << 1) | bit;
        }
    }

    void ReverseTree(Probability* probabilities, int bits, unsigned value) {
        unsigned node = 1;
        for (int i = 0; i < bits; ++i) {
            const unsigned bit = (value >> i) & 1;
            Bit(probabilities[node], bit);
            node = (node << 1) | bit;
        }
    }

    void DirectBits(std::uint32_t value, int count) {
        while (count-- > 0) {
            range_ >>= 1;
            low_ += range_ & (0 - ((value >> count) & 1));
            while (range_ < kRangeTop) {
                range_ <<= 8;
                ShiftLow();
            }
        }
    }

    // Writes the low bound whole: the decoder ends with code == 0.
    void Finish() {
        for (int i = 0; i < 5; ++i) ShiftLow();
        if (!out_.empty()) write_(out_.data(), out_.size());
        out_.clear();
    }

private:
    // Bytes leave one behind, since a carry may still raise the byte held in
    // cache_ and the run of 0xFF bytes after it.
    void ShiftLow() {
        if (static_cast<std::uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
            const auto carry = static_cast<std::uint8_t>(low_ >> 32);
            std::uint8_t byte = cache_;
            do {
                Put(static_cast<std::uint8_t>(byte + carry));
                byte = 0xFF;
            } while (--pending_ != 0);
            cache_ = static_cast<std::uint8_t>(low_ >> 24);
        }
        ++pending_;
        low_ = (low_ & 0x00FFFFFF) << 8;
    }

    void Put(std::uint8_t byte) {
        out_.push_back(byte);
        if (out_.size() == kOutputPiece) {
            write_(out_.data(), out_.size());
            out_.clear();
        }
    }

    const std::function<void(const std::uint8_t*, std::size_t)>& write_;
    std::vector<std::uint8_t> out_;
    std::uint64_t low_ = 0;
    std::uint32_t range_ = 0xFFFFFFFF;
    std::uint8_t cache_ = 0;
    std::uint64_t pending_ = 1;
};

struct Match {
    std::uint32_t length = 0;
    std::uint32_t distance = 0; // 1-based
};

class Encoder {
public:
    Encoder(const LzmaEncoderOptions& options, const std::function<std::size_t(void*, std::size_t)>& read,
            const std::function<void(const std::uint8_t*, std::size_t)>& write)
        : p_(options.properties), nice_(static_cast<std::uint32_t>(options.niceLength)),
          depth_(static_cast<std::uint32_t>(options.searchDepth)), read_(read), rc_(write) {
        dictionary_ = p_.EffectiveDictionary();
        const std::uint64_t block = std::max<std::uint32_t>(dictionary_ / 2, 1u << 18);
        capacity_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(dictionary_ + block, 0xFFFFFF00u));
        hashBits_ = std::clamp(static_cast<int>(std::bit_width(dictionary_)) - 1, 16, 20);
        model_.Reset();
    }

    bool Allocate() {
        try {
            head2_.assign(1u << 16, 0);
            head3_.assign(1u << kHash3Bits, 0);
            head4_.assign(std::size_t{1} << hashBits_, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }
        return true;
    }

    bool Run() {
        if (!Fill()) return false;
        Match next;
        bool haveNext = false;
        while (pos_ < filled_) {
            if (filled_ - pos_ < kLookahead && !ended_) {
                if (!Fill()) return false;
            }
            const Match main = haveNext ? next : Find(pos_);
            haveNext = false;
            unsigned repIndex = 0;
            std::uint32_t repLength = 0;
            for (unsigned i = 0; i < 4; ++i) {
                const std::uint32_t length = RepLengthAt(pos_, i);
                if (length > repLength) {
                    repLength = length;
                    repIndex = i;
                }
            }
            if (repLength >= nice_ || (repLength >= 2 && RepWins(repLength, main))) {
                EncodeRep(repIndex, repLength);
                Skip(repLength - 1);
                continue;
            }
            std::uint32_t length = main.length;
            if (length == 2 && main.distance > 128) length = 1;
            if (length == 3 && main.distance > (1u << 16)) length = 1;
            if (length >= 2 && length < nice_ && pos_ + 1 < filled_) {
                // Lazy: a longer match one byte on is worth a literal now.
                next = Find(pos_ + 1);
                haveNext = true;
                if (next.length > length + 1 || (next.length == length + 1 && (next.distance >> 7) <= main.distance) ||
                    (next.length == length && next.distance < (main.distance >> 7))) {
                    length = 1;
                } else {
                    std::uint32_t nextRep = 0;
                    for (unsigned i = 0; i < 4; ++i) nextRep = std::max(nextRep, RepLengthAt(pos_ + 1, i));
                    if (nextRep >= length) length = 1;
                }
            }
            if (length >= 2) {
                EncodeMatch(length, main.distance);
                Skip(length - 1);
                haveNext = false;
                continue;
            }
            if (ShortRepFits() && ShortRepPrice() < LiteralPrice()) {
                EncodeShortRep();
            } else {
                EncodeLiteral();
            }
            Advance(1);
        }
        rc_.Finish();
        return true;
    }

    std::uint64_t Total() const { return base_ + filled_; }

private:
    std::uint64_t Absolute(std::uint32_t index) const { return base_ + index; }
    unsigned PosState() const { return static_cast<unsigned>(Absolute(pos_)) & ((1u << p_.pb) - 1); }

    // Reads until the window holds kLookahead bytes past pos_ or the source
    // ends, growing or sliding the window as needed.
    bool Fill() {
        while (!ended_ && filled_ - pos_ < kLookahead * 2) {
            if (filled_ == window_.size()) {
                if (window_.size() < capacity_) {
                    const std::size_t grown =
                        std::min<std::size_t>(capacity_, std::max<std::size_t>(1u << 16, window_.size() * 2));
                    try {
                        window_.resize(grown);
                        chain_.resize(grown);
                    } catch (const std::bad_alloc&) {
                        return false;
                    }
                } else {
                    Slide();
                }
            }
            const std::size_t got = read_(window_.data() + filled_, window_.size() - filled_);
            if (got == 0) ended_ = true;
            filled_ += static_cast<std::uint32_t>(std::min(got, window_.size() - filled_));
        }
        return true;
    }

    void Slide() {
        const std::uint32_t delta = pos_ - dictionary_;
        std::memmove(window_.data(), window_.data() + delta, filled_ - delta);
        std::memmove(chain_.data(), chain_.data() + delta, (filled_ - delta) * sizeof(std::uint32_t));
        auto rebase = [delta](std::uint32_t& v) { v = v > delta ? v - delta : 0; };
        for (auto& v : chain_) rebase(v);
        for (auto& v : head2_) rebase(v);
        for (auto& v : head3_) rebase(v);
        for (auto& v : head4_) rebase(v);
        base_ += delta;
        filled_ -= delta;
        pos_ -= delta;
        inserted_ -= delta;
    }

    std::uint32_t CommonLength(std::uint32_t a, std::uint32_t b, std::uint32_t limit) const {
        const std::uint8_t* x = window_.data() + a;
        const std::uint8_t* y = window_.data() + b;
        std::uint32_t length = 0;
        while (length + 8 <= limit) {
            const std::uint64_t diff = LoadLittleEndian64(x + length) ^ LoadLittleEndian64(y + length);
            if (diff) return length + static_cast<std::uint32_t>(std::countr_zero(diff) >> 3);
            length += 8;
        }
        while (length < limit && x[length] == y[length]) ++length;
        return length;
    }

    // The longest match at index (entering index and every position before it
    // into the tables).
    Match Find(std::uint32_t index) {
        while (inserted_ < index) Insert(inserted_++, nullptr);
        Match best;
        if (inserted_ == index) Insert(inserted_++, &best);
        return best;
    }

    void Insert(std::uint32_t index, Match* best) {
        const std::uint32_t avail = std::min(filled_ - index, kMaxMatch);
        if (avail < 4) {
            chain_[index] = 0;
            return;
        }
        const std::uint8_t* at = window_.data() + index;
        const std::uint32_t word = LoadLittleEndian32(at);
        const std::uint32_t h2 = word & 0xFFFF;
        const std::uint32_t h3 = ((word & 0xFFFFFF) * 2654435761u) >> (32 - kHash3Bits);
        const std::uint32_t h4 = (word * 2654435761u) >> (32 - hashBits_);
        if (best) {
            const std::uint32_t lowest = index > dictionary_ ? index - dictionary_ : 0;
            const std::uint32_t limit = std::min(avail, nice_);
            auto consider = [&](std::uint32_t candidate) {
                const std::uint32_t length = CommonLength(candidate, index, limit);
                if (length > best->length) {
                    best->length = length;
                    best->distance = index - candidate;
                }
            };
            if (head2_[h2] > lowest) consider(head2_[h2] - 1);
            if (head3_[h3] > lowest) consider(head3_[h3] - 1);
            std::uint32_t candidate = head4_[h4];
            for (std::uint32_t steps = depth_; candidate > lowest && steps != 0 && best->length < limit; --steps) {
                const std::uint32_t c = candidate - 1;
                if (window_[c + best->length] == at[best->length]) consider(c);
                candidate = chain_[c];
            }
        }
        head2_[h2] = index + 1;
        head3_[h3] = index + 1;
        chain_[index] = head4_[h4];
        head4_[h4] = index + 1;
    }

    void Skip(std::uint32_t count) { Advance(count + 1); }

    void Advance(std::uint32_t count) {
        pos_ += count;
        while (inserted_ < pos_) Insert(inserted_++, nullptr);
    }

    std::uint32_t RepLengthAt(std::uint32_t index, unsigned i) const {
        const std::uint32_t distance = reps_[i] + 1;
        if (distance > Absolute(index) || distance > index) return 0;
        const std::uint32_t avail = std::min(filled_ - index, kMaxMatch);
        return CommonLength(index - distance, index, avail);
    }

    // A rep match costs far less than a new distance: it wins unless the new
    // match is clearly longer.
    static bool RepWins(std::uint32_t repLength, const Match& main) {
        return repLength + 1 >= main.length || (repLength + 2 >= main.length && main.distance >= 512) ||
               (repLength + 3 >= main.length && main.distance >= 32768);
    }

    bool ShortRepFits() const {
        return Absolute(pos_) > reps_[0] && window_[pos_] == window_[pos_ - reps_[0] - 1];
    }

    Probability* LiteralProbabilities() {
        const std::uint8_t previous = Absolute(pos_) ? window_[pos_ - 1] : 0;
        return model_.literal + LiteralContext(p_, Absolute(pos_), previous);
    }

    std::uint32_t ShortRepPrice() const {
        const unsigned ps = PosState();
        return BitPrice(model_.isMatch[state_][ps], 1) + BitPrice(model_.isRep[state_], 1) +
               BitPrice(model_.isRep0[state_], 0) + BitPrice(model_.isRep0Long[state_][ps], 0);
    }

    std::uint32_t LiteralPrice() {
        std::uint32_t price = BitPrice(model_.isMatch[state_][PosState()], 0);
        const Probability* probabilities = LiteralProbabilities();
        unsigned symbol = window_[pos_] | 0x100;
        if (state_ >= kLiteralStates) {
            unsigned match = window_[pos_ - reps_[0] - 1], offset = 0x100, node = 1;
            do {
                match <<= 1;
                const unsigned matchBit = match & offset;
                const unsigned bit = (symbol >> 7) & 1;
                symbol <<= 1;
                price += BitPrice(probabilities[offset + matchBit + node], bit);
                node = (node << 1) | bit;
                offset &= bit ? matchBit : ~matchBit;
            } while (node < 0x100);
        } else {
            for (unsigned node = 1; node < 0x100;) {
                const unsigned bit = (symbol >> 7) & 1;
                symbol <<= 1;
                price += BitPrice(probabilities[node], bit);
                node = (node << 1) | bit;
            }
        }
        return price;
    }

    void EncodeLiteral() {
        rc_.Bit(model_.isMatch[state_][PosState()], 0);
        Probability* probabilities = LiteralProbabilities();
        const unsigned byte = window_[pos_];
        if (state_ >= kLiteralStates) {
            unsigned match = window_[pos_ - reps_[0] - 1], offset = 0x100, node = 1;
            for (int i = 7; i >= 0; --i) {
                match <<= 1;
                const unsigned matchBit = match & offset;
                const unsigned bit = (byte >> i) & 1;
                rc_.Bit(probabilities[offset + matchBit + node], bit);
                node = (node << 1) | bit;
                offset &= bit ? matchBit : ~matchBit;
            }
        } else {
            rc_.Tree(probabilities, 8, byte);
        }
        state_ = NextStateAfterLiteral(state_);
    }

    void EncodeLength(LengthModel& m, std::uint32_t length, unsigned ps) {
        length -= kMinMatch;
        if (length < 8) {
            rc_.Bit(m.choice, 0);
            rc_.Tree(m.low[ps], 3, length);
        } else if (length < 16) {
            rc_.Bit(m.choice, 1);
            rc_.Bit(m.choice2, 0);
            rc_.Tree(m.middle[ps], 3, length - 8);
        } else {
            rc_.Bit(m.choice, 1);
            rc_.Bit(m.choice2, 1);
            rc_.Tree(m.high, 8, length - 16);
        }
    }

    void EncodeMatch(std::uint32_t length, std::uint32_t distance) {
        const unsigned ps = PosState();
        rc_.Bit(model_.isMatch[state_][ps], 1);
        rc_.Bit(model_.isRep[state_], 0);
        EncodeLength(model_.matchLength, length, ps);
        const std::uint32_t d = distance - 1;
        std::uint32_t slot = d;
        if (d >= kFirstCodedSlot) {
            const int high = std::bit_width(d) - 1;
            slot = static_cast<std::uint32_t>(high << 1) | ((d >> (high - 1)) & 1);
        }
        rc_.Tree(model_.slot[LengthState(length)], kSlotBits, slot);
        if (slot >= kFirstCodedSlot) {
            const int footerBits = static_cast<int>(slot >> 1) - 1;
            const std::uint32_t base = (2 | (slot & 1)) << footerBits;
            const std::uint32_t rest = d - base;
            if (slot < kFirstDirectSlot) {
                rc_.ReverseTree(model_.distanceBits + base - slot - 1, footerBits, rest);
            } else {
                rc_.DirectBits(rest >> kAlignBits, footerBits - kAlignBits);
                rc_.ReverseTree(model_.align, kAlignBits, rest & ((1u << kAlignBits) - 1));
            }
        }
        reps_[3] = reps_[2];
        reps_[2] = reps_[1];
        reps_[1] = reps_[0];
        reps_[0] = d;
        state_ = NextStateAfterMatch(state_);
    }

    void EncodeRep(unsigned index, std::uint32_t length) {
        const unsigned ps = PosState();
        rc_.Bit(model_.isMatch[state_][ps], 1);
        rc_.Bit(model_.isRep[state_], 1);
        if (index == 0) {
            rc_.Bit(model_.isRep0[state_], 0);
            rc_.Bit(model_.isRep0Long[state_][ps], 1);
        } else {
            rc_.Bit(model_.isRep0[state_], 1);
            rc_.Bit(model_.isRep1[state_], index > 1);
            if (index > 1) rc_.Bit(model_.isRep2[state_], index > 2);
            const std::uint32_t distance = reps_[index];
            for (unsigned i = index; i > 0; --i) reps_[i] = reps_[i - 1];
            reps_[0] = distance;
        }
        EncodeLength(model_.repLength, length, ps);
        state_ = NextStateAfterRep(state_);
    }

    void EncodeShortRep() {
        const unsigned ps = PosState();
        rc_.Bit(model_.isMatch[state_][ps], 1);
        rc_.Bit(model_.isRep[state_], 1);
        rc_.Bit(model_.isRep0[state_], 0);
        rc_.Bit(model_.isRep0Long[state_][ps], 0);
        state_ = NextStateAfterShortRep(state_);
    }

    const Properties p_;
    const std::uint32_t nice_;
    const std::uint32_t depth_;
    const std::function<std::size_t(void*, std::size_t)>& read_;
    RangeEncoder rc_;
    Model model_;
    std::uint32_t dictionary_ = 0;
    std::uint32_t capacity_ = 0;
    int hashBits_ = 16;

    std::vector<std::uint8_t> window_;
    std::vector<std::uint32_t> chain_;
    std::vector<std::uint32_t> head2_, head3_, head4_;
    std::uint64_t base_ = 0;
    std::uint32_t filled_ = 0;
    std::uint32_t pos_ = 0;
    std::uint32_t inserted_ = 0;
    bool ended_ = false;

    std::uint32_t reps_[4] = {};
    int state_ = 0;
};

} // namespace

LzmaEncodeResult EncodeLzma(const LzmaEncoderOptions& options,
                            const std::function<std::size_t(void*, std::size_t)>& read,
                            const std::function<void(const std::uint8_t*, std::size_t)>& write,
                            std::uint64_t& unpackedSize) {
    unpackedSize = 0;
    if (!options.properties.Valid() || options.properties.dictionarySize > kMaxEncoderDictionary ||
        options.niceLength < 8 || options.niceLength > static_cast<int>(kMaxMatch) ||
        options.searchDepth < 1) {
        return LzmaEncodeResult::BadOptions;
    }
    std::unique_ptr<Encoder> encoder(new (std::nothrow) Encoder(options, read, write));
    if (!encoder || !encoder->Allocate() || !encoder->Run()) return LzmaEncodeResult::OutOfMemory;
    unpackedSize = encoder->Total();
    return LzmaEncodeResult::Ok;
}
