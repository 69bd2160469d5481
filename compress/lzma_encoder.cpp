// The LZMA encoder: a binary-tree match finder over a sliding window and a
// parser that prices every way through a block and codes the cheapest.
//
// The window holds the source from absolute position base_ on; pos_ is the
// next byte to code. At least dictionary bytes stay behind pos_ when the
// window slides, so every distance up to the dictionary can be reached.
// Hash tables and trees store window indices plus one (0: none); sliding
// rebases them.
//
// Every position is entered into three tables before the parser moves past
// it: the last position of each 2-byte pair, the last position of each
// 3-byte hash, and trees of positions sharing a 4-byte hash.
#include "compress/lzma_encoder.h"

#include "common/little_endian.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

using namespace lzma;

namespace {

constexpr std::size_t kOutputPiece = 65536;
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

std::uint32_t BitPrice(Probability p, unsigned bit) { return kPrices.price[(bit ? kProbabilityOne - p : p) >> 4]; }

// Collects its bytes in memory; the encoder hands them on (a raw stream) or
// keeps a chunk's until the chunk is decided.
class RangeEncoder {
public:
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

    // Writes the low bound whole: the decoder ends with code == 0. The coder
    // then starts a new segment.
    void Finish() {
        for (int i = 0; i < 5; ++i) ShiftLow();
        low_ = 0;
        range_ = 0xFFFFFFFF;
        cache_ = 0;
        pending_ = 1;
    }

    // The bytes written so far that no carry can change any more.
    std::vector<std::uint8_t>& Bytes() { return out_; }

private:
    // Bytes leave one behind, since a carry may still raise the byte held in
    // cache_ and the run of 0xFF bytes after it.
    void ShiftLow() {
        if (static_cast<std::uint32_t>(low_) < 0xFF000000u || (low_ >> 32) != 0) {
            const auto carry = static_cast<std::uint8_t>(low_ >> 32);
            std::uint8_t byte = cache_;
            do {
                out_.push_back(static_cast<std::uint8_t>(byte + carry));
                byte = 0xFF;
            } while (--pending_ != 0);
            cache_ = static_cast<std::uint8_t>(low_ >> 24);
        }
        ++pending_;
        low_ = (low_ & 0x00FFFFFF) << 8;
    }

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

// A node of the parse: the cheapest way found to reach its position within
// the block, the step taken into it, and the coder's state after it.
struct Node {
    // The last two are three steps in one: a rep or new match, the literal
    // after it, and a rep0 match at the same distance again.
    enum Kind : std::uint8_t { Literal, ShortRep, Rep, NewMatch, RepLiteralRep0, MatchLiteralRep0 };
    std::uint32_t price;
    std::uint32_t from;        // the node the step starts at
    std::uint32_t distance;    // of a new match (1-based), or the rep index
    std::uint32_t firstLength; // of the first match of a three-step node
    Kind kind;
    std::uint8_t state;
    std::uint32_t reps[4];
};

constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
// The parser looks this far past the start of a block at most.
constexpr std::uint32_t kBlockSpan = 4096;
constexpr std::uint32_t kNodes = kBlockSpan + 2 * kMaxMatch + 2;
constexpr std::uint32_t kLookahead = kNodes + 1;
// Price tables follow the adapting probabilities after this many symbols.
constexpr unsigned kRefreshSymbols = 128;
// A finder thread keeps the matches of this many positions from the parser's
// block on; a block reaches kNodes past its start.
constexpr std::uint32_t kFinderRing = 32768;
static_assert(kFinderRing > 2 * kNodes);
// How far ahead of the position being entered the match finder fetches
// into the cache its hash bucket, and the node that bucket names.
constexpr std::uint32_t kBucketAhead = 16;
constexpr std::uint32_t kNodeAhead = 8;
// Positions a finder thread enters between two looks at the shared state.
constexpr std::uint32_t kFinderBatch = 2048;

class Encoder {
public:
    // A raw stream goes to write; with a chunk size, chunks go to sink.
    Encoder(const LzmaEncoderOptions& options, const std::function<std::size_t(void*, std::size_t)>& read,
            const std::function<void(const std::uint8_t*, std::size_t)>* write, std::uint32_t chunkSize,
            const LzmaChunkSink* sink)
        : p_(options.properties), nice_(static_cast<std::uint32_t>(options.niceLength)),
          depth_(static_cast<std::uint32_t>(options.searchDepth)), chunkSize_(chunkSize), read_(read), write_(write),
          sink_(sink) {
        dictionary_ = p_.EffectiveDictionary();
        // A chunk stays whole in the window until it is decided.
        const std::uint64_t block = std::uint64_t{std::max<std::uint32_t>(dictionary_ / 2, 1u << 18)} + chunkSize;
        capacity_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(dictionary_ + block, 0xFFFFFF00u));
        cyclicSize_ = std::min<std::uint32_t>(dictionary_, capacity_) + 1;
        // A bucket for every two dictionary bytes: the trees stay short, and
        // a walk down one costs a cache miss a step.
        hashBits_ = std::clamp(static_cast<int>(std::bit_width(dictionary_)) - 1, 16, 24);
        model_.Reset();
        threaded_ = options.finderThread;
    }

    ~Encoder() { StopFinder(); }

    bool Allocate() {
        try {
            head2_.assign(1u << 16, 0);
            head3_.assign(1u << kHash3Bits, 0);
            head4_.assign(std::size_t{1} << hashBits_, 0);
            nodes_.resize(kNodes);
            // Neither is read before it is written, so pages a small source
            // never reaches cost nothing.
            window_ = std::make_unique_for_overwrite<std::uint8_t[]>(capacity_);
            tree_ = std::make_unique_for_overwrite<std::uint32_t[]>(2 * std::size_t{cyclicSize_});
            if (threaded_) {
                // Lengths rise from 2 and stop at nice_: fewer than nice_ matches a position.
                ringMatches_.resize(std::size_t{kFinderRing} * nice_);
                ringCounts_.resize(kFinderRing);
                finder_ = std::thread([this] { FinderLoop(); });
            }
        } catch (const std::bad_alloc&) {
            return false;
        } catch (const std::system_error&) {
            threaded_ = false; // no thread to be had: the finder runs inline
        }
        return true;
    }

    bool Run() {
        while (true) {
            if (filled_ - pos_ < kLookahead && !Fill()) return false;
            if (pos_ == filled_) break;
            if (chunkSize_ != 0) {
                if (!CodeChunk()) return false;
                continue;
            }
            limit_ = filled_;
            Step();
            if (rc_.Bytes().size() >= kOutputPiece) Drain();
        }
        if (chunkSize_ == 0) {
            rc_.Finish();
            Drain();
        }
        return true;
    }

    std::uint64_t Total() const { return base_ + filled_; }

private:
    void Step() {
        if (sinceRefresh_ >= kRefreshSymbols || !pricesValid_) RefreshPrices();
        ParseBlock();
    }

    void Drain() {
        std::vector<std::uint8_t>& bytes = rc_.Bytes();
        if (!bytes.empty()) (*write_)(bytes.data(), bytes.size());
        bytes.clear();
    }

    // Codes the next chunkSize_ bytes (fewer at the end) as one segment and
    // hands the chunk to the sink: coded when that is smaller, else stored,
    // with the model, state and reps put back as they were before it.
    bool CodeChunk() {
        const std::uint64_t start = Absolute(pos_);
        const std::uint64_t end = start + chunkSize_;
        chunkStart_ = start;
        chunkActive_ = true;
        const std::unique_ptr<Model> saved(new (std::nothrow) Model(model_));
        if (!saved) return false;
        const int savedState = state_;
        std::uint32_t savedReps[4];
        std::copy(std::begin(reps_), std::end(reps_), savedReps);
        while (true) {
            if (filled_ - pos_ < kLookahead && !Fill()) return false;
            limit_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(filled_, end - base_));
            if (pos_ == limit_) break;
            Step();
        }
        rc_.Finish();
        chunkActive_ = false;
        const std::uint8_t* raw = window_.get() + (start - base_);
        const auto rawSize = static_cast<std::size_t>(Absolute(pos_) - start);
        std::vector<std::uint8_t>& packed = rc_.Bytes();
        if (packed.size() < rawSize) {
            (*sink_)(raw, rawSize, packed.data(), packed.size());
        } else {
            model_ = *saved;
            state_ = savedState;
            std::copy(std::begin(savedReps), std::end(savedReps), reps_);
            pricesValid_ = false;
            (*sink_)(raw, rawSize, nullptr, 0);
        }
        packed.clear();
        return true;
    }

    std::uint64_t Absolute(std::uint32_t index) const { return base_ + index; }
    unsigned PosStateAt(std::uint32_t index) const {
        return static_cast<unsigned>(Absolute(index)) & ((1u << p_.pb) - 1);
    }

    // Reads until the window holds kLookahead bytes past pos_ or the source
    // ends, sliding the window as needed.
    bool Fill() {
        while (!ended_ && filled_ - pos_ < kLookahead * 2) {
            if (filled_ == capacity_) {
                PauseFinder();
                Slide();
                ResumeFinder();
            }
            const std::size_t got = read_(window_.get() + filled_, capacity_ - filled_);
            if (got == 0) ended_ = true;
            filled_ += static_cast<std::uint32_t>(std::min<std::size_t>(got, capacity_ - filled_));
            PublishFill();
        }
        return true;
    }

    // The finder thread. It enters positions ahead of the parser with their
    // matches into a ring, as Find would one by one: a position is entered
    // the same way whether or not its matches are wanted, so the tables and
    // every match are what the parser alone would have found. It reads the
    // window only below the fill it was shown, which the parser's reads
    // never touch; the window moves (Slide) only while it waits.
    void FinderLoop() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            std::uint64_t from = 0, to = 0;
            changed_.wait(lock, [&] {
                if (stopping_ || pauseRequested_) return true;
                from = base_ + inserted_;
                // A position needs kMaxMatch bytes after it, or the source's end.
                const std::uint64_t ready = shownEnded_                ? shownFilled_
                                            : shownFilled_ > kMaxMatch ? shownFilled_ - kMaxMatch
                                                                       : 0;
                to = std::min({ready, shownBlockStart_ + kFinderRing, from + kFinderBatch});
                return from < to;
            });
            if (stopping_) return;
            if (pauseRequested_) {
                finderPaused_ = true;
                changed_.notify_all();
                changed_.wait(lock, [&] { return !pauseRequested_ || stopping_; });
                finderPaused_ = false;
                continue;
            }
            insertLimit_ = static_cast<std::uint32_t>(shownFilled_ - base_);
            lock.unlock();
            for (std::uint64_t at = from; at < to; ++at) {
                // Positions the parser has coded past are entered without
                // their matches, which nobody will ask for.
                const std::size_t slot = at % kFinderRing;
                Match* matches =
                    at >= skipUntil_.load(std::memory_order_relaxed) ? &ringMatches_[slot * nice_] : nullptr;
                ringCounts_[slot] = Insert(inserted_++, matches);
            }
            finderDone_.store(to, std::memory_order_release);
            lock.lock();
            changed_.notify_all();
        }
    }

    void PublishFill() {
        if (!threaded_) return;
        std::lock_guard<std::mutex> lock(mutex_);
        shownFilled_ = base_ + filled_;
        shownEnded_ = ended_;
        changed_.notify_all();
    }

    void PublishBlockStart() {
        if (!threaded_) return;
        std::lock_guard<std::mutex> lock(mutex_);
        shownBlockStart_ = base_ + pos_;
        skipUntil_.store(shownBlockStart_, std::memory_order_relaxed);
        changed_.notify_all();
    }

    void PauseFinder() {
        if (!threaded_) return;
        std::unique_lock<std::mutex> lock(mutex_);
        pauseRequested_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return finderPaused_; });
    }

    void ResumeFinder() {
        if (!threaded_) return;
        std::lock_guard<std::mutex> lock(mutex_);
        pauseRequested_ = false;
        changed_.notify_all();
    }

    void StopFinder() {
        if (!finder_.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        finder_.join();
    }

    void Slide() {
        std::uint32_t delta = pos_ - dictionary_;
        if (chunkActive_) delta = std::min(delta, static_cast<std::uint32_t>(chunkStart_ - base_));
        std::memmove(window_.get(), window_.get() + delta, filled_ - delta);
        auto rebase = [delta](std::uint32_t& v) { v = v > delta ? v - delta : 0; };
        const std::uint64_t used = 2 * std::min<std::uint64_t>(cyclicSize_, base_ + inserted_);
        for (std::uint64_t i = 0; i < used; ++i) rebase(tree_[i]);
        for (auto& v : head2_) rebase(v);
        for (auto& v : head3_) rebase(v);
        for (auto& v : head4_) rebase(v);
        base_ += delta;
        filled_ -= delta;
        pos_ -= delta;
        inserted_ -= delta;
    }

    std::uint32_t CommonLength(std::uint32_t a, std::uint32_t b, std::uint32_t limit) const {
        const std::uint8_t* x = window_.get() + a;
        const std::uint8_t* y = window_.get() + b;
        std::uint32_t length = 0;
        while (length + 8 <= limit) {
            const std::uint64_t diff = LoadLittleEndian64(x + length) ^ LoadLittleEndian64(y + length);
            if (diff) return length + static_cast<std::uint32_t>(std::countr_zero(diff) >> 3);
            length += 8;
        }
        while (length < limit && x[length] == y[length]) ++length;
        return length;
    }

    // Enters every position up to index into the tables, and returns the
    // matches at index: lengths rising, each with the nearest distance found
    // for it. The longest is followed to its end once it reaches nice_.
    std::uint32_t Find(std::uint32_t index, Match* matches) {
        if (threaded_) {
            const std::uint64_t at = Absolute(index);
            if (finderDone_.load(std::memory_order_acquire) <= at) {
                std::unique_lock<std::mutex> lock(mutex_);
                changed_.wait(lock, [&] { return finderDone_.load(std::memory_order_acquire) > at; });
            }
            const std::size_t slot = at % kFinderRing;
            const std::uint32_t count = ringCounts_[slot];
            std::copy_n(&ringMatches_[slot * nice_], count, matches);
            return count;
        }
        insertLimit_ = filled_;
        while (inserted_ < index) Insert(inserted_++, nullptr);
        std::uint32_t count = 0;
        if (inserted_ == index) count = Insert(inserted_++, matches);
        return count;
    }

    // Enters index into the tables; with matches, first collects them. The
    // positions sharing a 4-byte hash form a binary tree ordered by the
    // bytes that follow them (compared up to nice_), newest at the root:
    // walking down to insert index passes its closest neighbours, which are
    // its longest matches. len0 and len1 are the bytes index shares with
    // every node still to the right and to the left of the path.
    std::uint32_t Insert(std::uint32_t index, Match* matches) {
        const std::uint32_t slot = cyclic_;
        if (++cyclic_ == cyclicSize_) cyclic_ = 0;
        std::uint32_t* smaller = &tree_[2 * slot];
        std::uint32_t* larger = &tree_[2 * slot + 1];
        const std::uint32_t avail = std::min(insertLimit_ - index, kMaxMatch);
        if (avail < 4) {
            *smaller = *larger = 0;
            return 0;
        }
        const std::uint8_t* at = window_.get() + index;
        Prefetch(index, slot);
        const std::uint32_t word = LoadLittleEndian32(at);
        const std::uint32_t h2 = word & 0xFFFF;
        const std::uint32_t h3 = ((word & 0xFFFFFF) * 2654435761u) >> (32 - kHash3Bits);
        const std::uint32_t h4 = (word * 2654435761u) >> (32 - hashBits_);
        const std::uint32_t lowest = index > dictionary_ ? index - dictionary_ : 0;
        const std::uint32_t limit = std::min(avail, nice_);
        std::uint32_t count = 0, best = 1;
        if (matches) {
            auto consider = [&](std::uint32_t candidate) {
                const std::uint32_t length = CommonLength(candidate, index, limit);
                if (length > best) {
                    best = length;
                    matches[count++] = {length, index - candidate};
                }
            };
            if (head2_[h2] > lowest) consider(head2_[h2] - 1);
            if (head3_[h3] > lowest) consider(head3_[h3] - 1);
        }
        head2_[h2] = index + 1;
        head3_[h3] = index + 1;
        std::uint32_t candidate = head4_[h4];
        head4_[h4] = index + 1;
        // Near the end of the source the order is known for fewer bytes:
        // lengths are then measured from the first byte.
        const bool trusted = limit == nice_;
        std::uint32_t len0 = 0, len1 = 0;
        for (std::uint32_t steps = depth_; candidate > lowest && steps != 0; --steps) {
            const std::uint32_t c = candidate - 1;
            const std::uint32_t back = index - c;
            const std::uint32_t cslot = slot >= back ? slot - back : slot + cyclicSize_ - back;
            std::uint32_t* node = &tree_[2 * cslot];
            const std::uint32_t start = trusted ? std::min(len0, len1) : 0;
            const std::uint32_t length = start + CommonLength(c + start, index + start, limit - start);
            if (matches && length > best) {
                best = length;
                matches[count++] = {length, back};
            }
            if (length == limit) {
                // Equal as far as the tree orders: index takes c's place.
                *smaller = node[0];
                *larger = node[1];
                return Extend(matches, count, index, avail);
            }
            if (window_[c + length] < at[length]) {
                *smaller = candidate;
                smaller = &node[1];
                candidate = *smaller;
                len1 = length;
            } else {
                *larger = candidate;
                larger = &node[0];
                candidate = *larger;
                len0 = length;
            }
        }
        *smaller = *larger = 0;
        return Extend(matches, count, index, avail);
    }

    // Positions are entered one after another, and each starts with loads
    // that miss the cache: its hash bucket, then the newest position in it,
    // that position's bytes and its tree node. So the bucket of a position
    // kBucketAhead on is fetched now, and for one kNodeAhead on, whose bucket
    // has been fetched, the bytes and the node the bucket names. Fetching
    // changes nothing the encoder finds, only when its loads come.
    void Prefetch(std::uint32_t index, std::uint32_t slot) const {
        if (insertLimit_ - index < kBucketAhead + 4) return;
        const std::uint8_t* window = window_.get();
        __builtin_prefetch(&head4_[BucketOf(index + kBucketAhead)]);
        const std::uint32_t candidate = head4_[BucketOf(index + kNodeAhead)];
        const std::uint32_t lowest = index > dictionary_ ? index - dictionary_ : 0;
        if (candidate <= lowest) return;
        const std::uint32_t back = index - (candidate - 1);
        const std::uint32_t cslot = slot >= back ? slot - back : slot + cyclicSize_ - back;
        __builtin_prefetch(window + candidate - 1);
        __builtin_prefetch(&tree_[2 * std::size_t{cslot}]);
    }

    std::uint32_t BucketOf(std::uint32_t index) const {
        return (LoadLittleEndian32(window_.get() + index) * 2654435761u) >> (32 - hashBits_);
    }

    // A match as long as nice_ is followed to its end.
    std::uint32_t Extend(Match* matches, std::uint32_t count, std::uint32_t index, std::uint32_t avail) const {
        if (count && matches[count - 1].length == nice_ && avail > nice_) {
            Match& last = matches[count - 1];
            last.length = CommonLength(index - last.distance, index, avail);
        }
        return count;
    }

    std::uint32_t RepLength(std::uint32_t index, std::uint32_t rep) const {
        const std::uint32_t distance = rep + 1;
        if (distance > Absolute(index) || distance > index) return 0;
        return CommonLength(index - distance, index, std::min(limit_ - index, kMaxMatch));
    }

    // Prices of the current probabilities, in 1/16 bit.

    void RefreshPrices() {
        const unsigned posStates = 1u << p_.pb;
        for (unsigned ps = 0; ps < posStates; ++ps) {
            LengthPrices(model_.matchLength, ps, matchLengthPrices_[ps]);
            LengthPrices(model_.repLength, ps, repLengthPrices_[ps]);
        }
        for (unsigned ls = 0; ls < kLengthStates; ++ls) {
            for (unsigned slot = 0; slot < (1u << kSlotBits); ++slot)
                slotPrices_[ls][slot] = TreePrice(model_.slot[ls], kSlotBits, slot);
            for (std::uint32_t d = 0; d < kFullDistances; ++d) {
                const std::uint32_t slot = Slot(d);
                std::uint32_t price = slotPrices_[ls][slot];
                if (slot >= kFirstCodedSlot) {
                    const int footerBits = static_cast<int>(slot >> 1) - 1;
                    const std::uint32_t base = (2 | (slot & 1)) << footerBits;
                    price += ReverseTreePrice(model_.distanceBits + base - slot - 1, footerBits, d - base);
                }
                nearDistancePrices_[ls][d] = price;
            }
        }
        for (unsigned i = 0; i < (1u << kAlignBits); ++i)
            alignPrices_[i] = ReverseTreePrice(model_.align, kAlignBits, i);
        sinceRefresh_ = 0;
        pricesValid_ = true;
    }

    static std::uint32_t TreePrice(const Probability* probabilities, int bits, unsigned value) {
        std::uint32_t price = 0;
        unsigned node = 1;
        for (int i = bits - 1; i >= 0; --i) {
            const unsigned bit = (value >> i) & 1;
            price += BitPrice(probabilities[node], bit);
            node = (node << 1) | bit;
        }
        return price;
    }

    static std::uint32_t ReverseTreePrice(const Probability* probabilities, int bits, unsigned value) {
        std::uint32_t price = 0;
        unsigned node = 1;
        for (int i = 0; i < bits; ++i) {
            const unsigned bit = (value >> i) & 1;
            price += BitPrice(probabilities[node], bit);
            node = (node << 1) | bit;
        }
        return price;
    }

    static void LengthPrices(const LengthModel& m, unsigned ps, std::uint32_t* prices) {
        const std::uint32_t low = BitPrice(m.choice, 0);
        const std::uint32_t middle = BitPrice(m.choice, 1) + BitPrice(m.choice2, 0);
        const std::uint32_t high = BitPrice(m.choice, 1) + BitPrice(m.choice2, 1);
        for (unsigned i = 0; i < 8; ++i) prices[i] = low + TreePrice(m.low[ps], 3, i);
        for (unsigned i = 0; i < 8; ++i) prices[8 + i] = middle + TreePrice(m.middle[ps], 3, i);
        for (unsigned i = 0; i < 256; ++i) prices[16 + i] = high + TreePrice(m.high, 8, i);
    }

    static std::uint32_t Slot(std::uint32_t d) {
        if (d < kFirstCodedSlot) return d;
        const int high = std::bit_width(d) - 1;
        return static_cast<std::uint32_t>(high << 1) | ((d >> (high - 1)) & 1);
    }

    // d is the distance minus one.
    std::uint32_t DistancePrice(std::uint32_t d, std::uint32_t length) const {
        const std::uint32_t ls = LengthState(length);
        if (d < kFullDistances) return nearDistancePrices_[ls][d];
        const std::uint32_t slot = Slot(d);
        const std::uint32_t directBits = (slot >> 1) - 1 - kAlignBits;
        return slotPrices_[ls][slot] + (directBits << 4) + alignPrices_[d & ((1u << kAlignBits) - 1)];
    }

    std::uint32_t LiteralPrice(std::uint32_t index, int state, std::uint32_t rep0) const {
        const std::uint8_t previous = Absolute(index) ? window_[index - 1] : 0;
        const Probability* probabilities = model_.literal + LiteralContext(p_, Absolute(index), previous);
        std::uint32_t price = BitPrice(model_.isMatch[state][PosStateAt(index)], 0);
        const unsigned byte = window_[index];
        if (state < kLiteralStates) return price + TreePrice(probabilities, 8, byte);
        unsigned match = window_[index - rep0 - 1], offset = 0x100, node = 1;
        for (int i = 7; i >= 0; --i) {
            match <<= 1;
            const unsigned matchBit = match & offset;
            const unsigned bit = (byte >> i) & 1;
            price += BitPrice(probabilities[offset + matchBit + node], bit);
            node = (node << 1) | bit;
            offset &= bit ? matchBit : ~matchBit;
        }
        return price;
    }

    // Of the decisions that pick rep index after is-match and is-rep.
    std::uint32_t RepIndexPrice(unsigned index, int state, unsigned ps) const {
        if (index == 0) return BitPrice(model_.isRep0[state], 0) + BitPrice(model_.isRep0Long[state][ps], 1);
        std::uint32_t price = BitPrice(model_.isRep0[state], 1) + BitPrice(model_.isRep1[state], index > 1);
        if (index > 1) price += BitPrice(model_.isRep2[state], index > 2);
        return price;
    }

    // The parse of one block: the cheapest path from pos_ over literals,
    // short reps, rep matches and new matches to the first position that no
    // match found in the block reaches past (or kBlockSpan on), then coded.
    // A match of nice_ or more ends the block after it: long runs are not
    // worth pricing byte by byte.
    void ParseBlock() {
        PublishBlockStart();
        Node* const nodes = nodes_.data();
        nodes[0].price = 0;
        nodes[0].state = static_cast<std::uint8_t>(state_);
        std::copy(std::begin(reps_), std::end(reps_), nodes[0].reps);
        std::uint32_t end = 0; // the furthest node given a price
        Match matches[kMaxMatch + 1];
        for (std::uint32_t cur = 0;; ++cur) {
            Node& node = nodes[cur];
            if (cur > 0) {
                if (cur >= end) break;
                Arrive(node);
            }
            const std::uint32_t index = pos_ + cur;
            const std::uint32_t avail = std::min(limit_ - index, kMaxMatch);
            if (avail == 0) break;
            std::uint32_t count = Find(index, matches);
            // The finder sees past a chunk's end; the chunk's matches stop there.
            for (std::uint32_t m = 0; m < count; ++m) {
                if (matches[m].length >= avail) {
                    matches[m].length = avail;
                    count = m + 1;
                }
            }
            const int state = node.state;
            const unsigned ps = PosStateAt(index);
            std::uint32_t longest = count ? matches[count - 1].length : 1;
            std::uint32_t repLengths[4];
            for (unsigned i = 0; i < 4; ++i) {
                repLengths[i] = RepLength(index, node.reps[i]);
                longest = std::max(longest, repLengths[i]);
            }
            for (std::uint32_t i = end + 1; i <= cur + longest; ++i) nodes[i].price = kInfinite;
            end = std::max(end, cur + longest);
            auto relax = [&](std::uint32_t to, std::uint32_t price, Node::Kind kind, std::uint32_t distance,
                             std::uint32_t firstLength = 0) {
                Node& target = nodes[to];
                if (price < target.price) {
                    target.price = price;
                    target.from = cur;
                    target.kind = kind;
                    target.distance = distance;
                    target.firstLength = firstLength;
                }
            };
            // After a match of length at distance, one literal and the same
            // distance again.
            auto relaxThreeSteps = [&](std::uint32_t length, std::uint32_t distance, std::uint32_t price, int after,
                                       Node::Kind kind, std::uint32_t first) {
                const std::uint32_t literal = index + length;
                if (literal + 1 + kMinMatch > limit_) return;
                const std::uint32_t second =
                    CommonLength(literal + 1 - distance, literal + 1, std::min(limit_ - literal - 1, kMaxMatch));
                if (second < kMinMatch) return;
                const int literalState = NextStateAfterLiteral(after);
                const unsigned ps2 = PosStateAt(literal + 1);
                price += LiteralPrice(literal, after, distance - 1) + BitPrice(model_.isMatch[literalState][ps2], 1) +
                         BitPrice(model_.isRep[literalState], 1) + RepIndexPrice(0, literalState, ps2) +
                         repLengthPrices_[ps2][second - kMinMatch];
                const std::uint32_t to = cur + length + 1 + second;
                for (std::uint32_t i = end + 1; i <= to; ++i) nodes[i].price = kInfinite;
                end = std::max(end, to);
                relax(to, price, kind, first, length);
            };
            relax(cur + 1, node.price + LiteralPrice(index, state, node.reps[0]), Node::Literal, 0);
            const std::uint32_t matchPrice = node.price + BitPrice(model_.isMatch[state][ps], 1);
            const std::uint32_t repPrice = matchPrice + BitPrice(model_.isRep[state], 1);
            if (repLengths[0] >= 1) {
                relax(cur + 1, repPrice + BitPrice(model_.isRep0[state], 0) + BitPrice(model_.isRep0Long[state][ps], 0),
                      Node::ShortRep, 0);
            }
            for (unsigned i = 0; i < 4; ++i) {
                if (repLengths[i] < kMinMatch) continue;
                const std::uint32_t price = repPrice + RepIndexPrice(i, state, ps);
                for (std::uint32_t length = kMinMatch; length <= repLengths[i]; ++length)
                    relax(cur + length, price + repLengthPrices_[ps][length - kMinMatch], Node::Rep, i);
                relaxThreeSteps(repLengths[i], node.reps[i] + 1,
                                price + repLengthPrices_[ps][repLengths[i] - kMinMatch], NextStateAfterRep(state),
                                Node::RepLiteralRep0, i);
            }
            const std::uint32_t newPrice = matchPrice + BitPrice(model_.isRep[state], 0);
            std::uint32_t length = kMinMatch;
            for (std::uint32_t m = 0; m < count; ++m) {
                std::uint32_t price = 0;
                for (; length <= matches[m].length; ++length) {
                    price = newPrice + matchLengthPrices_[ps][length - kMinMatch] +
                            DistancePrice(matches[m].distance - 1, length);
                    relax(cur + length, price, Node::NewMatch, matches[m].distance);
                }
                if (price) {
                    relaxThreeSteps(matches[m].length, matches[m].distance, price, NextStateAfterMatch(state),
                                    Node::MatchLiteralRep0, matches[m].distance);
                }
            }
            if (longest >= nice_ || cur >= kBlockSpan) break;
        }
        // Walk back from the end, then code the steps in order.
        std::uint32_t steps = 0;
        for (std::uint32_t at = end; at != 0; at = nodes[at].from) path_[steps++] = at;
        std::uint32_t from = 0;
        while (steps != 0) {
            const std::uint32_t to = path_[--steps];
            const Node& step = nodes[to];
            std::uint32_t length = to - from;
            if (step.kind >= Node::RepLiteralRep0) {
                if (step.kind == Node::RepLiteralRep0) {
                    EncodeRep(step.distance, step.firstLength);
                } else {
                    EncodeMatch(step.firstLength, step.distance);
                }
                pos_ += step.firstLength;
                EncodeLiteral();
                ++pos_;
                length -= step.firstLength + 1;
                EncodeRep(0, length);
                sinceRefresh_ += 2;
            } else if (step.kind == Node::Literal) {
                EncodeLiteral();
            } else if (step.kind == Node::ShortRep) {
                EncodeShortRep();
            } else if (step.kind == Node::Rep) {
                EncodeRep(step.distance, length);
            } else {
                EncodeMatch(length, step.distance);
            }
            pos_ += length;
            from = to;
            ++sinceRefresh_;
        }
    }

    // Sets the state and reps of node from the step into it.
    void Arrive(Node& node) const {
        const Node& before = nodes_[node.from];
        std::copy(std::begin(before.reps), std::end(before.reps), node.reps);
        if (node.kind == Node::Rep || node.kind == Node::RepLiteralRep0) {
            for (std::uint32_t i = node.distance; i > 0; --i) node.reps[i] = before.reps[i - 1];
            node.reps[0] = before.reps[node.distance];
        } else if (node.kind == Node::NewMatch || node.kind == Node::MatchLiteralRep0) {
            for (unsigned i = 3; i > 0; --i) node.reps[i] = before.reps[i - 1];
            node.reps[0] = node.distance - 1;
        }
        int state = before.state;
        switch (node.kind) {
        case Node::Literal:
            state = NextStateAfterLiteral(state);
            break;
        case Node::ShortRep:
            state = NextStateAfterShortRep(state);
            break;
        case Node::Rep:
            state = NextStateAfterRep(state);
            break;
        case Node::NewMatch:
            state = NextStateAfterMatch(state);
            break;
        // A match, then a literal: a literal state, whatever came before.
        case Node::RepLiteralRep0:
        case Node::MatchLiteralRep0:
            state = NextStateAfterRep(0);
            break;
        }
        node.state = static_cast<std::uint8_t>(state);
    }

    Probability* LiteralProbabilities() {
        const std::uint8_t previous = Absolute(pos_) ? window_[pos_ - 1] : 0;
        return model_.literal + LiteralContext(p_, Absolute(pos_), previous);
    }

    void EncodeLiteral() {
        rc_.Bit(model_.isMatch[state_][PosStateAt(pos_)], 0);
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
        const unsigned ps = PosStateAt(pos_);
        rc_.Bit(model_.isMatch[state_][ps], 1);
        rc_.Bit(model_.isRep[state_], 0);
        EncodeLength(model_.matchLength, length, ps);
        const std::uint32_t d = distance - 1;
        const std::uint32_t slot = Slot(d);
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
        const unsigned ps = PosStateAt(pos_);
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
        const unsigned ps = PosStateAt(pos_);
        rc_.Bit(model_.isMatch[state_][ps], 1);
        rc_.Bit(model_.isRep[state_], 1);
        rc_.Bit(model_.isRep0[state_], 0);
        rc_.Bit(model_.isRep0Long[state_][ps], 0);
        state_ = NextStateAfterShortRep(state_);
    }

    const Properties p_;
    const std::uint32_t nice_;
    const std::uint32_t depth_;
    const std::uint32_t chunkSize_;
    const std::function<std::size_t(void*, std::size_t)>& read_;
    const std::function<void(const std::uint8_t*, std::size_t)>* write_;
    const LzmaChunkSink* sink_;
    RangeEncoder rc_;
    Model model_;
    std::uint32_t dictionary_ = 0;
    std::uint32_t capacity_ = 0;
    int hashBits_ = 16;

    std::unique_ptr<std::uint8_t[]> window_; // capacity_ bytes
    // Two children per position, for the last dictionary + 1 positions, at
    // cyclic_ for the next one entered.
    std::unique_ptr<std::uint32_t[]> tree_;
    std::uint32_t cyclicSize_ = 0;
    std::uint32_t cyclic_ = 0;
    std::vector<std::uint32_t> head2_, head3_, head4_;
    std::uint64_t base_ = 0;
    std::uint32_t filled_ = 0;
    std::uint32_t pos_ = 0;
    std::uint32_t inserted_ = 0;
    // Insert sees the window up to here: the fill at the time.
    std::uint32_t insertLimit_ = 0;
    // Coding stops here: the source's end, or the end of the chunk.
    std::uint32_t limit_ = 0;
    bool ended_ = false;
    // While a chunk is coded, its first byte (absolute) stays in the window.
    std::uint64_t chunkStart_ = 0;
    bool chunkActive_ = false;

    std::uint32_t reps_[4] = {};
    int state_ = 0;

    std::vector<Node> nodes_;
    std::uint32_t path_[kNodes];
    std::uint32_t matchLengthPrices_[kMaxPosStates][kMaxMatch - kMinMatch + 1];
    std::uint32_t repLengthPrices_[kMaxPosStates][kMaxMatch - kMinMatch + 1];
    std::uint32_t slotPrices_[kLengthStates][1 << kSlotBits];
    std::uint32_t nearDistancePrices_[kLengthStates][kFullDistances];
    std::uint32_t alignPrices_[1 << kAlignBits];
    unsigned sinceRefresh_ = 0;
    bool pricesValid_ = false;

    // The finder thread (FinderLoop) and what it shares with the parser,
    // under mutex_ but for finderDone_. Positions are absolute.
    bool threaded_ = false;
    std::thread finder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t shownFilled_ = 0;
    bool shownEnded_ = false;
    std::uint64_t shownBlockStart_ = 0;
    bool pauseRequested_ = false;
    bool finderPaused_ = false;
    bool stopping_ = false;
    std::atomic<std::uint64_t> finderDone_{0}; // positions entered, their matches in the ring
    std::atomic<std::uint64_t> skipUntil_{0};  // the parser's block start: no matches wanted before it
    std::vector<Match> ringMatches_;
    std::vector<std::uint32_t> ringCounts_;
};

} // namespace

namespace {

bool ValidOptions(const LzmaEncoderOptions& options) {
    return options.properties.Valid() && options.properties.dictionarySize <= kMaxEncoderDictionary &&
           options.niceLength >= 8 && options.niceLength <= static_cast<int>(kMaxMatch) && options.searchDepth >= 1;
}

LzmaEncodeResult RunEncoder(const LzmaEncoderOptions& options,
                            const std::function<std::size_t(void*, std::size_t)>& read,
                            const std::function<void(const std::uint8_t*, std::size_t)>* write, std::uint32_t chunkSize,
                            const LzmaChunkSink* sink, std::uint64_t& unpackedSize) {
    unpackedSize = 0;
    if (!ValidOptions(options)) return LzmaEncodeResult::BadOptions;
    std::unique_ptr<Encoder> encoder(new (std::nothrow) Encoder(options, read, write, chunkSize, sink));
    if (!encoder || !encoder->Allocate() || !encoder->Run()) return LzmaEncodeResult::OutOfMemory;
    unpackedSize = encoder->Total();
    return LzmaEncodeResult::Ok;
}

} // namespace

LzmaEncodeResult EncodeLzma(const LzmaEncoderOptions& options,
                            const std::function<std::size_t(void*, std::size_t)>& read,
                            const std::function<void(const std::uint8_t*, std::size_t)>& write,
                            std::uint64_t& unpackedSize) {
    return RunEncoder(options, read, &write, 0, nullptr, unpackedSize);
}

LzmaEncodeResult EncodeLzmaChunks(const LzmaEncoderOptions& options, std::uint32_t chunkSize,
                                  const std::function<std::size_t(void*, std::size_t)>& read, const LzmaChunkSink& sink,
                                  std::uint64_t& unpackedSize) {
    if (chunkSize == 0 || chunkSize > kMaxEncoderChunk) {
        unpackedSize = 0;
        return LzmaEncodeResult::BadOptions;
    }
    return RunEncoder(options, read, nullptr, chunkSize, &sink, unpackedSize);
}
