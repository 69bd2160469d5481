// The best-ratio deflate encoder. Its output is not fixed by exact rules as
// DeflateEncoder's is; what it guarantees is a valid stream and the framing:
//
// Framing. The first call writes the zlib header 0x78 0xDA (the level field
// saying "best"). Each call's input is cut into pieces of at most 32 KiB,
// and each piece becomes one block that is never final: dynamic, fixed or
// stored, whichever takes the fewest bits. (A code per 32 KiB rather than
// per 64 KiB made executables about 1% smaller; per 16 KiB gained little
// more.) After the call's last block comes one empty fixed block
// (10 bits), which pushes the end-of-block code of the data into whole
// bytes; its up to 7 bits left over open the next call's output.
//
// Matches. Every position of the piece and of the 32 KiB before it enters
// hash chains of 3-byte prefixes. For each position of the piece the chain
// is walked, nearest first, over at most kMaxChain candidates, and every
// candidate that is longer than all nearer ones is kept: for each length up
// to the longest, the nearest distance that reaches it. A match of
// kNiceLength or more ends the walk, and the positions it covers get no
// matches of their own (a parse rarely leaves such a match early, and runs
// would otherwise cost a full walk per byte).
//
// Parse. A shortest path over the piece, where every byte is a node and the
// edges are a literal or any kept match at any of its lengths, each costing
// its bits in a given code: the path is the cheapest symbol sequence for
// that code. The first pass prices symbols as the fixed code does; each
// further pass prices them by the code that the previous pass's symbols
// would get, smoothed so unused symbols are dear but not impossible.
//
// Codes. Huffman code lengths are limited (15 bits, 7 for the code-length
// code) by halving all frequencies, keeping them nonzero, until the tree is
// shallow enough. Every code has at least two symbols, so every code is
// complete, which the strictest decoder accepts.
#include "compress/deflate_best_encoder.h"

#include "compress/deflate_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace {

using namespace deflate;

constexpr std::size_t kPieceSize = 32768;
constexpr std::size_t kStoredMax = 65535;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 256;
constexpr std::uint32_t kNiceLength = 258;
constexpr int kPasses = 3;
constexpr std::int32_t kNone = -1;

// Symbol of each match length (3 to 258) and of each distance (1 to 32768).
struct SymbolTables {
    std::array<std::uint8_t, kMaxMatch + 1> lengthSymbol{};
    std::array<std::uint8_t, kWindowSize + 1> distanceSymbol{};

    constexpr SymbolTables() {
        for (int symbol = 0; symbol < kLengthSymbols; ++symbol)
            for (int length = kLengthBase[symbol]; length <= kMaxMatch; ++length)
                lengthSymbol[length] = static_cast<std::uint8_t>(symbol);
        for (int symbol = 0; symbol < kDistanceSymbols; ++symbol)
            for (int distance = kDistanceBase[symbol]; distance <= kWindowSize; ++distance)
                distanceSymbol[distance] = static_cast<std::uint8_t>(symbol);
    }
};

const SymbolTables& Tables() {
    static const SymbolTables tables;
    return tables;
}

// A literal (distance 0, length the byte) or a match.
struct Token {
    std::uint16_t length;
    std::uint16_t distance;
};

struct Candidate {
    std::uint16_t length;
    std::uint16_t distance;
};

// How many leading bytes of a and b agree, up to limit; 8 bytes a step while
// 8 bytes remain below limit.
std::uint32_t MatchLength(const std::uint8_t* a, const std::uint8_t* b, std::uint32_t limit) {
    std::uint32_t length = 0;
    for (; length + 8 <= limit; length += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + length, 8);
        std::memcpy(&y, b + length, 8);
        if (x != y) return length + static_cast<std::uint32_t>(std::countr_zero(x ^ y) >> 3);
    }
    while (length < limit && a[length] == b[length]) ++length;
    return length;
}

// Code lengths, no longer than limit, for the count symbols by frequency;
// symbols of frequency 0 get none.
void BuildLengths(const std::uint32_t* frequencies, int count, int limit, std::uint8_t* lengths) {
    std::vector<std::uint32_t> weights(frequencies, frequencies + count);
    std::vector<int> order;
    for (;;) {
        order.clear();
        for (int symbol = 0; symbol < count; ++symbol)
            if (weights[symbol] != 0) order.push_back(symbol);
        std::fill_n(lengths, count, 0);
        const int leaves = static_cast<int>(order.size());
        if (leaves == 0) return;
        if (leaves == 1) {
            lengths[order[0]] = 1;
            return;
        }
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return weights[a] < weights[b]; });
        // Leaves in order of weight, then the inner nodes as they are made,
        // which come out in order of weight too: the two lightest unused
        // nodes are always at the front of one of the two runs.
        std::vector<std::uint64_t> weight(2 * leaves - 1);
        std::vector<int> parent(2 * leaves - 1, 0);
        for (int i = 0; i < leaves; ++i) weight[i] = weights[order[i]];
        int nextLeaf = 0, nextInner = leaves;
        for (int made = leaves; made < 2 * leaves - 1; ++made) {
            std::uint64_t sum = 0;
            for (int pick = 0; pick < 2; ++pick) {
                const bool leaf = nextLeaf < leaves && (nextInner >= made || weight[nextLeaf] <= weight[nextInner]);
                const int node = leaf ? nextLeaf++ : nextInner++;
                parent[node] = made;
                sum += weight[node];
            }
            weight[made] = sum;
        }
        std::vector<int> depth(2 * leaves - 1, 0);
        int deepest = 0;
        for (int node = 2 * leaves - 3; node >= 0; --node) {
            depth[node] = depth[parent[node]] + 1;
            if (node < leaves) deepest = std::max(deepest, depth[node]);
        }
        if (deepest <= limit) {
            for (int i = 0; i < leaves; ++i) lengths[order[i]] = static_cast<std::uint8_t>(depth[i]);
            return;
        }
        for (std::uint32_t& w : weights)
            if (w != 0) w = (w >> 1) | 1;
    }
}

// The canonical codes of the lengths, bit-reversed for output.
void AssignCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
    int perLength[kMaxCodeLength + 1] = {};
    for (int symbol = 0; symbol < count; ++symbol) ++perLength[lengths[symbol]];
    perLength[0] = 0;
    std::uint32_t next[kMaxCodeLength + 1] = {};
    std::uint32_t code = 0;
    for (int bits = 1; bits <= kMaxCodeLength; ++bits) {
        code = (code + perLength[bits - 1]) << 1;
        next[bits] = code;
    }
    for (int symbol = 0; symbol < count; ++symbol)
        codes[symbol] =
            lengths[symbol] ? static_cast<std::uint16_t>(ReverseBits(next[lengths[symbol]]++, lengths[symbol])) : 0;
}

// Bits go out least-significant first, appended to a byte vector.
struct BitWriter {
    std::vector<std::uint8_t>& out;
    std::uint64_t buffer;
    int count;

    void Put(std::uint32_t bits, int width) {
        buffer |= static_cast<std::uint64_t>(bits) << count;
        count += width;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(buffer));
            buffer >>= 8;
            count -= 8;
        }
    }
    void AlignToByte() {
        if (count > 0) Put(0, 8 - count);
    }
};

// A piece's symbol frequencies and the block codes made from them.
struct BlockCode {
    std::uint32_t literalFrequency[kLiteralLengthAlphabet] = {};
    std::uint32_t distanceFrequency[kDistanceAlphabet] = {};
    std::uint8_t literalLength[kLiteralLengthAlphabet] = {};
    std::uint8_t distanceLength[kDistanceAlphabet] = {};
    std::uint16_t literalCode[kLiteralLengthAlphabet] = {};
    std::uint16_t distanceCode[kDistanceAlphabet] = {};

    void Count(const std::vector<Token>& tokens) {
        std::fill(std::begin(literalFrequency), std::end(literalFrequency), 0);
        std::fill(std::begin(distanceFrequency), std::end(distanceFrequency), 0);
        for (const Token& token : tokens) {
            if (token.distance == 0) {
                ++literalFrequency[token.length];
            } else {
                ++literalFrequency[257 + Tables().lengthSymbol[token.length]];
                ++distanceFrequency[Tables().distanceSymbol[token.distance]];
            }
        }
        ++literalFrequency[kEndOfBlock];
    }

    // Lengths from the frequencies, at least two symbols per code.
    void BuildDynamic() {
        std::uint32_t literals[kLiteralLengthAlphabet], distances[kDistanceAlphabet];
        std::copy(std::begin(literalFrequency), std::end(literalFrequency), literals);
        std::copy(std::begin(distanceFrequency), std::end(distanceFrequency), distances);
        literals[286] = literals[287] = 0;
        distances[30] = distances[31] = 0;
        EnsureTwo(literals, 286);
        EnsureTwo(distances, kDistanceSymbols);
        BuildLengths(literals, kLiteralLengthAlphabet, kMaxCodeLength, literalLength);
        BuildLengths(distances, kDistanceAlphabet, kMaxCodeLength, distanceLength);
        AssignCodes(literalLength, kLiteralLengthAlphabet, literalCode);
        AssignCodes(distanceLength, kDistanceAlphabet, distanceCode);
    }

    void BuildFixed() {
        for (int symbol = 0; symbol < kLiteralLengthAlphabet; ++symbol)
            literalLength[symbol] = static_cast<std::uint8_t>(FixedLiteralLengthBits(symbol));
        std::fill(std::begin(distanceLength), std::end(distanceLength), kFixedDistanceBits);
        AssignCodes(literalLength, kLiteralLengthAlphabet, literalCode);
        AssignCodes(distanceLength, kDistanceAlphabet, distanceCode);
    }

    static void EnsureTwo(std::uint32_t* frequencies, int count) {
        int used = 0;
        for (int symbol = 0; symbol < count; ++symbol) used += frequencies[symbol] != 0;
        for (int symbol = 0; used < 2; ++symbol)
            if (frequencies[symbol] == 0) {
                frequencies[symbol] = 1;
                ++used;
            }
    }

    // Bits of the symbols in this code, extra bits included, header excluded.
    std::uint64_t SymbolBits() const {
        std::uint64_t bits = 0;
        for (int symbol = 0; symbol < 286; ++symbol)
            bits += std::uint64_t{literalFrequency[symbol]} * literalLength[symbol];
        for (int symbol = 0; symbol < kLengthSymbols; ++symbol)
            bits += std::uint64_t{literalFrequency[257 + symbol]} * kLengthExtraBits[symbol];
        for (int symbol = 0; symbol < kDistanceSymbols; ++symbol)
            bits += std::uint64_t{distanceFrequency[symbol]} * (distanceLength[symbol] + kDistanceExtraBits[symbol]);
        return bits;
    }
};

// The header of a dynamic block: the code lengths of both codes as one
// sequence, run-length coded with 16 (repeat the previous 3-6 times), 17 (3-10
// zeros) and 18 (11-138 zeros), and the code-length code that codes it.
struct DynamicHeader {
    int literalCount = 257, distanceCount = 1, codeLengthCount = 4;
    std::vector<std::uint8_t> symbols; // 0-18, each followed by its extra value
    std::uint8_t length[kCodeLengthAlphabet] = {};
    std::uint16_t code[kCodeLengthAlphabet] = {};
    std::uint64_t bits = 0;

    explicit DynamicHeader(const BlockCode& block) {
        literalCount = 286;
        while (literalCount > 257 && block.literalLength[literalCount - 1] == 0) --literalCount;
        distanceCount = kDistanceSymbols;
        while (distanceCount > 1 && block.distanceLength[distanceCount - 1] == 0) --distanceCount;
        std::vector<std::uint8_t> all(block.literalLength, block.literalLength + literalCount);
        all.insert(all.end(), block.distanceLength, block.distanceLength + distanceCount);

        std::uint32_t frequency[kCodeLengthAlphabet] = {};
        const auto add = [&](int symbol, int extra) {
            symbols.push_back(static_cast<std::uint8_t>(symbol));
            symbols.push_back(static_cast<std::uint8_t>(extra));
            ++frequency[symbol];
        };
        for (std::size_t at = 0; at < all.size();) {
            const std::uint8_t value = all[at];
            std::size_t run = 1;
            while (at + run < all.size() && all[at + run] == value) ++run;
            at += run;
            if (value == 0) {
                while (run >= 11) {
                    const std::size_t take = std::min<std::size_t>(run, 138);
                    add(18, static_cast<int>(take - 11));
                    run -= take;
                }
                if (run >= 3) {
                    add(17, static_cast<int>(run - 3));
                    run = 0;
                }
            } else {
                add(value, 0);
                --run;
                while (run >= 3) {
                    const std::size_t take = std::min<std::size_t>(run, 6);
                    add(16, static_cast<int>(take - 3));
                    run -= take;
                }
            }
            for (; run > 0; --run) add(value, 0);
        }
        BlockCode::EnsureTwo(frequency, kCodeLengthAlphabet);
        BuildLengths(frequency, kCodeLengthAlphabet, 7, length);
        AssignCodes(length, kCodeLengthAlphabet, code);
        codeLengthCount = kCodeLengthAlphabet;
        while (codeLengthCount > 4 && length[kCodeLengthOrder[codeLengthCount - 1]] == 0) --codeLengthCount;

        static constexpr int kExtraBits[3] = {2, 3, 7};
        bits = 5 + 5 + 4 + 3 * codeLengthCount;
        for (std::size_t i = 0; i < symbols.size(); i += 2)
            bits += length[symbols[i]] + (symbols[i] >= 16 ? kExtraBits[symbols[i] - 16] : 0);
    }

    void Write(BitWriter& writer) const {
        static constexpr int kExtraBits[3] = {2, 3, 7};
        writer.Put(static_cast<std::uint32_t>(literalCount - 257), 5);
        writer.Put(static_cast<std::uint32_t>(distanceCount - 1), 5);
        writer.Put(static_cast<std::uint32_t>(codeLengthCount - 4), 4);
        for (int i = 0; i < codeLengthCount; ++i) writer.Put(length[kCodeLengthOrder[i]], 3);
        for (std::size_t i = 0; i < symbols.size(); i += 2) {
            const int symbol = symbols[i];
            writer.Put(code[symbol], length[symbol]);
            if (symbol >= 16) writer.Put(symbols[i + 1], kExtraBits[symbol - 16]);
        }
    }
};

void WriteTokens(BitWriter& writer, const BlockCode& block, const std::vector<Token>& tokens) {
    const SymbolTables& tables = Tables();
    for (const Token& token : tokens) {
        if (token.distance == 0) {
            writer.Put(block.literalCode[token.length], block.literalLength[token.length]);
            continue;
        }
        const int lengthSymbol = tables.lengthSymbol[token.length];
        writer.Put(block.literalCode[257 + lengthSymbol], block.literalLength[257 + lengthSymbol]);
        writer.Put(token.length - kLengthBase[lengthSymbol], kLengthExtraBits[lengthSymbol]);
        const int distanceSymbol = tables.distanceSymbol[token.distance];
        writer.Put(block.distanceCode[distanceSymbol], block.distanceLength[distanceSymbol]);
        writer.Put(token.distance - kDistanceBase[distanceSymbol], kDistanceExtraBits[distanceSymbol]);
    }
    writer.Put(block.literalCode[kEndOfBlock], block.literalLength[kEndOfBlock]);
}

// One piece: data holds the history (the first start bytes) and the piece.
class PieceEncoder {
public:
    PieceEncoder(const std::uint8_t* data, std::size_t start, std::size_t end)
        : data_(data), start_(start), end_(end) {}

    void Encode(BitWriter& writer) {
        FindMatches();
        BlockCode block;
        block.BuildFixed();
        for (int pass = 1;; ++pass) {
            PriceFrom(block); // at first the fixed code's lengths
            Parse();
            block.Count(tokens_);
            if (pass == kPasses) break;
            // The next pass's prices: the code of these counts, with every
            // symbol a little used so that none is out of reach.
            BlockCode smoothed;
            for (int symbol = 0; symbol < 286; ++symbol)
                smoothed.literalFrequency[symbol] = block.literalFrequency[symbol] * 4 + 1;
            for (int symbol = 0; symbol < kDistanceSymbols; ++symbol)
                smoothed.distanceFrequency[symbol] = block.distanceFrequency[symbol] * 4 + 1;
            smoothed.BuildDynamic();
            std::copy(std::begin(smoothed.literalLength), std::end(smoothed.literalLength), block.literalLength);
            std::copy(std::begin(smoothed.distanceLength), std::end(smoothed.distanceLength), block.distanceLength);
        }
        WriteSmallest(writer, block);
    }

private:
    void FindMatches() {
        const std::size_t count = end_ - start_;
        std::vector<std::int32_t> heads(std::size_t{1} << kHashBits, kNone);
        std::vector<std::int32_t> previous(end_, kNone);
        candidateStart_.assign(count + 1, 0);
        candidates_.clear();
        const auto hash = [&](std::size_t at) {
            const std::uint32_t trigram = data_[at] | data_[at + 1] << 8 | data_[at + 2] << 16;
            return (trigram * 0x9E3779B1u) >> (32 - kHashBits);
        };
        const auto insert = [&](std::size_t at) {
            if (at + kMinMatch > end_) return;
            const std::uint32_t bucket = hash(at);
            previous[at] = heads[bucket];
            heads[bucket] = static_cast<std::int32_t>(at);
        };
        for (std::size_t at = start_ >= kWindowSize ? start_ - kWindowSize : 0; at < start_; ++at) insert(at);
        std::size_t covered = start_; // positions before this lie inside a nice match
        for (std::size_t at = start_; at < end_; ++at) {
            candidateStart_[at - start_] = static_cast<std::uint32_t>(candidates_.size());
            if (at >= covered && at + kMinMatch <= end_) {
                const std::uint32_t longest = Walk(at, heads[hash(at)], previous);
                if (longest >= kNiceLength) covered = at + longest;
            }
            insert(at);
        }
        candidateStart_[count] = static_cast<std::uint32_t>(candidates_.size());
    }

    // Keeps the candidates of at that are longer than all nearer ones;
    // returns the longest length.
    std::uint32_t Walk(std::size_t at, std::int32_t there, const std::vector<std::int32_t>& previous) {
        const std::uint32_t limit = static_cast<std::uint32_t>(std::min<std::size_t>(kMaxMatch, end_ - at));
        const std::uint8_t* here = data_ + at;
        std::uint32_t best = kMinMatch - 1;
        for (int walked = 0; there != kNone && walked < kMaxChain; ++walked, there = previous[there]) {
            const std::size_t distance = at - static_cast<std::size_t>(there);
            if (distance > kWindowSize) break;
            const std::uint8_t* from = data_ + there;
            if (from[best] != here[best] || from[0] != here[0] || from[1] != here[1]) continue;
            const std::uint32_t length = MatchLength(from, here, limit);
            if (length <= best) continue;
            best = length;
            candidates_.push_back({static_cast<std::uint16_t>(length), static_cast<std::uint16_t>(distance)});
            if (length >= limit || length >= kNiceLength) break;
        }
        return best;
    }

    void PriceFrom(const BlockCode& block) {
        for (int byte = 0; byte < 256; ++byte) literalPrice_[byte] = block.literalLength[byte];
        for (int length = kMinMatch; length <= kMaxMatch; ++length) {
            const int symbol = Tables().lengthSymbol[length];
            lengthPrice_[length] = block.literalLength[257 + symbol] + kLengthExtraBits[symbol];
        }
        for (int symbol = 0; symbol < kDistanceSymbols; ++symbol)
            distancePrice_[symbol] = block.distanceLength[symbol] + kDistanceExtraBits[symbol];
    }

    // The cheapest path from the piece's start to its end at the current prices.
    void Parse() {
        const std::size_t count = end_ - start_;
        constexpr std::uint32_t kUnreached = std::numeric_limits<std::uint32_t>::max();
        cost_.assign(count + 1, kUnreached);
        step_.assign(count + 1, {0, 0});
        cost_[0] = 0;
        for (std::size_t at = 0; at < count; ++at) {
            const std::uint32_t here = cost_[at];
            const std::uint32_t literal = here + literalPrice_[data_[start_ + at]];
            if (literal < cost_[at + 1]) {
                cost_[at + 1] = literal;
                step_[at + 1] = {1, 0};
            }
            std::uint32_t length = kMinMatch;
            for (std::uint32_t i = candidateStart_[at]; i < candidateStart_[at + 1]; ++i) {
                const Candidate candidate = candidates_[i];
                const std::uint32_t distance = here + distancePrice_[Tables().distanceSymbol[candidate.distance]];
                for (; length <= candidate.length; ++length) {
                    const std::uint32_t total = distance + lengthPrice_[length];
                    if (total < cost_[at + length]) {
                        cost_[at + length] = total;
                        step_[at + length] = {static_cast<std::uint16_t>(length), candidate.distance};
                    }
                }
            }
        }
        tokens_.clear();
        for (std::size_t at = count; at > 0;) {
            const Token step = step_[at];
            at -= step.length;
            tokens_.push_back(step.distance == 0 ? Token{data_[start_ + at], 0} : step);
        }
        std::reverse(tokens_.begin(), tokens_.end());
    }

    void WriteSmallest(BitWriter& writer, BlockCode& block) {
        block.BuildDynamic();
        const DynamicHeader header(block);
        const std::uint64_t dynamicBits = 3 + header.bits + block.SymbolBits();
        BlockCode fixed;
        std::copy(std::begin(block.literalFrequency), std::end(block.literalFrequency), fixed.literalFrequency);
        std::copy(std::begin(block.distanceFrequency), std::end(block.distanceFrequency), fixed.distanceFrequency);
        fixed.BuildFixed();
        const std::uint64_t fixedBits = 3 + fixed.SymbolBits();
        const std::size_t count = end_ - start_;
        const std::size_t storedBlocks = (count + kStoredMax - 1) / kStoredMax;
        // The first header's padding depends on where it starts; later ones start aligned.
        const std::uint64_t storedBits =
            3 + (8 - (writer.count + 3) % 8) % 8 + (storedBlocks - 1) * 8 + storedBlocks * 32 + count * 8;

        if (storedBits < dynamicBits && storedBits < fixedBits) {
            for (std::size_t at = start_; at < end_; at += kStoredMax) {
                const std::size_t length = std::min(kStoredMax, end_ - at);
                writer.Put(0, 3); // not final, stored
                writer.AlignToByte();
                writer.Put(static_cast<std::uint32_t>(length), 16);
                writer.Put(static_cast<std::uint32_t>(~length & 0xFFFF), 16);
                writer.out.insert(writer.out.end(), data_ + at, data_ + at + length);
            }
        } else if (fixedBits <= dynamicBits) {
            writer.Put(2, 3); // not final, fixed
            WriteTokens(writer, fixed, tokens_);
        } else {
            writer.Put(4, 3); // not final, dynamic
            header.Write(writer);
            WriteTokens(writer, block, tokens_);
        }
    }

    const std::uint8_t* data_;
    std::size_t start_, end_;
    std::vector<Candidate> candidates_;
    std::vector<std::uint32_t> candidateStart_; // per piece position, into candidates_
    std::vector<std::uint32_t> cost_;
    std::vector<Token> step_; // per piece position: the last step of the cheapest path there
    std::vector<Token> tokens_;
    std::uint32_t literalPrice_[256] = {};
    std::uint32_t lengthPrice_[kMaxMatch + 1] = {};
    std::uint32_t distancePrice_[kDistanceSymbols] = {};
};

} // namespace

void DeflateBestEncoder::Reset() {
    history_.clear();
    bitBuffer_ = 0;
    bitCount_ = 0;
    headerPending_ = true;
}

bool DeflateBestEncoder::Encode(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output) {
    if (length > kMaxInput) return false;
    output.clear();
    output.reserve(length + length / 64 + 64);
    BitWriter writer{output, bitBuffer_, bitCount_};
    if (headerPending_) {
        writer.Put(0xDA78, 16);
        headerPending_ = false;
    }
    std::vector<std::uint8_t> data;
    for (std::size_t at = 0; at < length; at += kPieceSize) {
        const std::size_t piece = std::min(kPieceSize, length - at);
        data.assign(history_.begin(), history_.end());
        data.insert(data.end(), input + at, input + at + piece);
        PieceEncoder(data.data(), history_.size(), data.size()).Encode(writer);
        const std::size_t keep = std::min<std::size_t>(kWindowSize, data.size());
        history_.assign(data.end() - static_cast<std::ptrdiff_t>(keep), data.end());
    }
    if (length != 0) {
        writer.Put(2, 3); // an empty fixed block: its end-of-block is 7 zero bits
        writer.Put(0, 7);
    }
    bitBuffer_ = writer.buffer;
    bitCount_ = writer.count;
    return true;
}
