// Test-side tools for deflate streams, independent of the codec under test:
// a bit writer to craft streams and a reader that lists the symbols of a
// fixed-Huffman stream.
#pragma once

#include "tests/support/random_data.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);

// Writes bit fields least-significant bit first, and Huffman codes most
// significant bit first, as deflate streams hold them.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count);
    void Code(std::uint32_t code, int length);
    // Pads to a byte boundary with zero bits and returns the bytes.
    Bytes Finish();
    void FixedLiteral(int symbol); // fixed-code literal/length symbol 0 to 287
    void FixedDistance(int symbol) { Code(static_cast<std::uint32_t>(symbol), 5); }

private:
    Bytes bytes_;
    std::uint32_t buffer_ = 0;
    int count_ = 0;
};

struct Symbol {
    enum Kind { Literal, Match, EndOfBlock } kind;
    std::uint32_t value;    // the byte of a literal
    std::uint32_t length;   // of a match
    std::uint32_t distance; // of a match
    friend bool operator==(const Symbol&, const Symbol&) = default;
};

Symbol Lit(std::uint8_t byte);
Symbol Pair(std::uint32_t length, std::uint32_t distance);
Symbol Eob();

std::string Describe(const Symbol& symbol);

// The symbols of a zlib-headed stream of fixed-Huffman blocks, in order,
// up to the last complete symbol. Stops with ok false at anything else.
struct SymbolList {
    std::vector<Symbol> symbols;
    bool ok = true;
    std::string problem;
};
SymbolList ReadFixedSymbols(const Bytes& stream);

// The symbols of one call's data: those between two markers of the stream
// framing (end-of-block, then an empty block), block ends removed.
std::vector<std::vector<Symbol>> SymbolsPerCall(const std::vector<Symbol>& symbols);
