#include "deflate_test_support.h"

#include <cstring>
#include <random>
#include <sstream>

namespace {

const int kLengthBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistanceBase[] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                             193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                              6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class BitReader {
public:
    explicit BitReader(const Bytes& bytes) : bytes_(bytes) {}
    bool Has(std::size_t count) const { return position_ + count <= bytes_.size() * 8; }
    std::uint32_t Bit() {
        const std::uint32_t bit = (bytes_[position_ / 8] >> (position_ % 8)) & 1u;
        ++position_;
        return bit;
    }
    std::uint32_t Bits(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value |= Bit() << i;
        return value;
    }
    std::size_t position() const { return position_; }
    void Rewind(std::size_t position) { position_ = position; }

private:
    const Bytes& bytes_;
    std::size_t position_ = 0;
};

// Reads one fixed-code literal/length symbol, or -1 when bits run out.
int ReadFixedLiteral(BitReader& in) {
    if (!in.Has(7)) return -1;
    std::uint32_t code = 0;
    for (int i = 0; i < 7; ++i) code = (code << 1) | in.Bit();
    if (code <= 0x17) return static_cast<int>(code) + 256; // 7 bits: 256 to 279
    if (!in.Has(1)) return -1;
    code = (code << 1) | in.Bit();
    if (code >= 0x30 && code <= 0xBF) return static_cast<int>(code - 0x30); // 8 bits: 0 to 143
    if (code >= 0xC0 && code <= 0xC7) return static_cast<int>(code - 0xC0 + 280);
    if (!in.Has(1)) return -1;
    code = (code << 1) | in.Bit();
    return static_cast<int>(code - 0x190 + 144); // 9 bits: 144 to 255
}

} // namespace

Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

void BitWriter::Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        buffer_ |= ((value >> i) & 1u) << count_;
        if (++count_ == 8) {
            bytes_.push_back(static_cast<std::uint8_t>(buffer_));
            buffer_ = 0;
            count_ = 0;
        }
    }
}

void BitWriter::Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bits((code >> i) & 1u, 1);
}

Bytes BitWriter::Finish() {
    if (count_ != 0) Bits(0, 8 - count_);
    return bytes_;
}

void BitWriter::FixedLiteral(int symbol) {
    if (symbol < 144)
        Code(0x30 + symbol, 8);
    else if (symbol < 256)
        Code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        Code(symbol - 256, 7);
    else
        Code(0xC0 + symbol - 280, 8);
}

Symbol Lit(std::uint8_t byte) { return {Symbol::Literal, byte, 0, 0}; }
Symbol Pair(std::uint32_t length, std::uint32_t distance) { return {Symbol::Match, 0, length, distance}; }
Symbol Eob() { return {Symbol::EndOfBlock, 0, 0, 0}; }

std::string Describe(const Symbol& symbol) {
    std::ostringstream text;
    if (symbol.kind == Symbol::Literal) text << "literal " << symbol.value;
    if (symbol.kind == Symbol::Match) text << "match " << symbol.length << "@" << symbol.distance;
    if (symbol.kind == Symbol::EndOfBlock) text << "end of block";
    return text.str();
}

SymbolList ReadFixedSymbols(const Bytes& stream) {
    SymbolList list;
    BitReader in(stream);
    const auto fail = [&](const std::string& problem) {
        list.ok = false;
        list.problem = problem + " at bit " + std::to_string(in.position());
        return list;
    };
    if (!in.Has(16) || in.Bits(16) != 0x9C78) return fail("no zlib header 78 9C");
    for (;;) {
        if (!in.Has(3)) return list;
        if (in.Bits(3) != 2) return fail("not an open fixed block");
        for (;;) {
            const std::size_t start = in.position();
            const int symbol = ReadFixedLiteral(in);
            if (symbol < 0) return list;
            if (symbol < 256) {
                list.symbols.push_back(Lit(static_cast<std::uint8_t>(symbol)));
                continue;
            }
            if (symbol == 256) {
                list.symbols.push_back(Eob());
                break;
            }
            if (symbol > 285) return fail("length symbol " + std::to_string(symbol));
            const int l = symbol - 257;
            if (!in.Has(kLengthExtra[l] + 5)) return list;
            const std::uint32_t length = kLengthBase[l] + in.Bits(kLengthExtra[l]);
            std::uint32_t d = 0;
            for (int i = 0; i < 5; ++i) d = (d << 1) | in.Bit();
            if (d > 29) return fail("distance symbol " + std::to_string(d));
            if (!in.Has(kDistanceExtra[d])) {
                in.Rewind(start);
                return list;
            }
            list.symbols.push_back(Pair(length, kDistanceBase[d] + in.Bits(kDistanceExtra[d])));
        }
    }
}

std::vector<std::vector<Symbol>> SymbolsPerCall(const std::vector<Symbol>& symbols) {
    std::vector<std::vector<Symbol>> calls(1);
    for (std::size_t i = 0; i < symbols.size(); ++i) {
        if (symbols[i].kind != Symbol::EndOfBlock) {
            calls.back().push_back(symbols[i]);
        } else if (i + 1 < symbols.size() && symbols[i + 1].kind == Symbol::EndOfBlock) {
            calls.emplace_back();
            ++i;
        }
    }
    return calls;
}
