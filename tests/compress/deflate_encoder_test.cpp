// The encoder's exact choices, read back symbol by symbol from its output.
#include "compress/deflate_codec.h"
#include "deflate_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Encodes each input as one call of one codec; returns the concatenated output.
Bytes EncodeCalls(const std::vector<Bytes>& inputs) {
    DeflateCodec codec;
    Bytes stream, out;
    for (const Bytes& input : inputs) {
        EXPECT_TRUE(codec.EncodeChunk(input.data(), input.size(), out));
        stream.insert(stream.end(), out.begin(), out.end());
    }
    return stream;
}

std::vector<std::vector<Symbol>> CallSymbols(const std::vector<Bytes>& inputs) {
    const SymbolList list = ReadFixedSymbols(EncodeCalls(inputs));
    EXPECT_TRUE(list.ok) << list.problem;
    return SymbolsPerCall(list.symbols);
}

std::string Show(const std::vector<Symbol>& symbols) {
    std::string text;
    for (const Symbol& symbol : symbols) text += Describe(symbol) + "; ";
    return text;
}

// The symbol that starts at byte offset target of the call's input.
Symbol SymbolAt(const std::vector<Symbol>& symbols, std::size_t target) {
    std::size_t offset = 0;
    for (const Symbol& symbol : symbols) {
        if (offset == target) return symbol;
        offset += symbol.kind == Symbol::Match ? symbol.length : 1;
        if (offset > target) break;
    }
    ADD_FAILURE() << "no symbol starts at " << target << ": " << Show(symbols);
    return Eob();
}

TEST(DeflateEncoder, OpensTheStreamOnceAndClosesEveryCallsBlock) {
    DeflateCodec codec;
    Bytes first, second;
    const Bytes input = ToBytes("hello");
    ASSERT_TRUE(codec.EncodeChunk(input.data(), input.size(), first));
    ASSERT_GE(first.size(), 2u);
    EXPECT_EQ(first[0], 0x78);
    EXPECT_EQ(first[1], 0x9C);
    ASSERT_TRUE(codec.EncodeChunk(input.data(), input.size(), second));

    Bytes stream = first;
    stream.insert(stream.end(), second.begin(), second.end());
    const SymbolList list = ReadFixedSymbols(stream);
    ASSERT_TRUE(list.ok) << list.problem;
    // Each call: its data, end of block, an empty block; the second call
    // reaches back into the first.
    const std::vector<Symbol> expected = {Lit('h'), Lit('e'), Lit('l'),   Lit('l'), Lit('o'),
                                          Eob(),    Eob(),    Pair(5, 5), Eob(),    Eob()};
    EXPECT_EQ(list.symbols, expected) << Show(list.symbols);
    // The first call's own bytes hold its data and end-of-block code; only
    // bits of the empty block behind it may wait for the next call.
    const SymbolList alone = ReadFixedSymbols(first);
    ASSERT_GE(alone.symbols.size(), 6u);
    EXPECT_EQ(alone.symbols[5], Eob());
}

TEST(DeflateEncoder, SplitsOneLongMatchOfZeros) {
    const auto calls = CallSymbols({Bytes(65536, 0)});
    std::vector<Symbol> expected = {Lit(0)};
    for (int i = 0; i < 254; ++i) expected.push_back(Pair(258, 1));
    expected.push_back(Pair(3, 1));
    EXPECT_EQ(calls[0], expected);
}

TEST(DeflateEncoder, SendsARunOf259AsTwoMatchesNever258PlusOne) {
    const auto calls = CallSymbols({Bytes(260, 'z')});
    const std::vector<Symbol> expected = {Lit('z'), Pair(256, 1), Pair(3, 1)};
    EXPECT_EQ(calls[0], expected) << Show(calls[0]);

    // 258 itself is code 285: the reader knows no other way to get 258 bytes.
    const auto exact = CallSymbols({Bytes(259, 'q')});
    EXPECT_EQ(exact[0], (std::vector<Symbol>{Lit('q'), Pair(258, 1)}));
}

TEST(DeflateEncoder, HoldsAMatchForOneByteOfLookahead) {
    // At the third segment's start "abcde" matches 5 bytes; one byte later
    // "bcdefg" matches 6, which is not 2 longer: the 5 is sent.
    const std::string five = "abcde#"
                             "bcdefg@"
                             "abcdefg!";
    const auto sixCalls = CallSymbols({ToBytes(five)});
    EXPECT_EQ(SymbolAt(sixCalls[0], 13), Pair(5, 13)) << Show(sixCalls[0]);

    // With 7 bytes one later, the literal goes out and the 7 is taken.
    const std::string seven = "abcde#"
                              "bcdefgh@"
                              "abcdefgh!";
    const auto sevenCalls = CallSymbols({ToBytes(seven)});
    EXPECT_EQ(SymbolAt(sevenCalls[0], 14), Lit('a')) << Show(sevenCalls[0]);
    EXPECT_EQ(SymbolAt(sevenCalls[0], 15), Pair(7, 9)) << Show(sevenCalls[0]);
}

TEST(DeflateEncoder, ANewlyHeldMatchGetsItsOwnLookahead) {
    // 3 at "abc", then 5 at "bcdef" (held instead), then 7 at "cdefghi"
    // (held instead again), then nothing longer: literal a, literal b, match 7.
    const std::string text = "abcX"
                             "bcdefY"
                             "cdefghiZ"
                             "abcdefghi";
    const auto calls = CallSymbols({ToBytes(text)});
    const std::size_t at = 18;
    EXPECT_EQ(SymbolAt(calls[0], at), Lit('a')) << Show(calls[0]);
    EXPECT_EQ(SymbolAt(calls[0], at + 1), Lit('b'));
    EXPECT_EQ(SymbolAt(calls[0], at + 2), Pair(7, 10));
}

TEST(DeflateEncoder, ChoosesTheNearestOfTheLongestCandidates) {
    // "wxyz" appears at distances 15 and 5 with the same length: the nearer wins.
    const std::string text = "wxyz1abcdwxyz2qrwxyz3";
    const auto calls = CallSymbols({ToBytes(text)});
    EXPECT_EQ(SymbolAt(calls[0], 16), Pair(4, 7)) << Show(calls[0]);
}

TEST(DeflateEncoder, ReachesBackExactlyOneWindow) {
    // The first call's bytes are 32768 back from the second call's first
    // byte: still a candidate, since the search precedes its insertion.
    std::mt19937 random(7);
    Bytes history(32768);
    for (auto& byte : history) byte = static_cast<std::uint8_t>(random());
    const Bytes repeat(history.begin(), history.begin() + 40);
    const auto calls = CallSymbols({history, repeat});
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[1], (std::vector<Symbol>{Pair(40, 32768)})) << Show(calls[1]);

    // One byte further back is out of reach.
    Bytes longer = history;
    longer.insert(longer.begin(), 0x55);
    const auto far = CallSymbols({longer, Bytes{0x99}, repeat});
    ASSERT_GE(far.size(), 3u);
    EXPECT_EQ(far[2].front(), Lit(history[0])) << Show(far[2]);
}

TEST(DeflateEncoder, KeepsTheLastTwoBytesOfACallForTheNext) {
    // "ab" ends the first call and waits; it enters the chains when the second
    // call brings the byte that completes "abc", so the third call finds it.
    const auto calls = CallSymbols({ToBytes("xyzab"), ToBytes("cab"), ToBytes("abcab")});
    EXPECT_EQ(calls[1], (std::vector<Symbol>{Lit('c'), Lit('a'), Lit('b')}));
    EXPECT_EQ(calls[2], (std::vector<Symbol>{Pair(5, 5)})) << Show(calls[2]);
}

TEST(DeflateEncoder, NeverMatchesPastTheEndOfACall) {
    const auto calls = CallSymbols({ToBytes("abcabc"), ToBytes("abcabc")});
    EXPECT_EQ(calls[0], (std::vector<Symbol>{Lit('a'), Lit('b'), Lit('c'), Pair(3, 3)}));
    // The nearest candidate, 3 back, overlaps the bytes being matched.
    EXPECT_EQ(calls[1], (std::vector<Symbol>{Pair(6, 3)}));
}

TEST(DeflateEncoder, SmallCallsAndEmptyCallsKeepTheStreamValid) {
    const auto calls = CallSymbols({ToBytes("a"), Bytes{}, ToBytes("b"), ToBytes("ab"), ToBytes("abab")});
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0], (std::vector<Symbol>{Lit('a')}));
    EXPECT_TRUE(calls[1].empty());
    EXPECT_EQ(calls[2], (std::vector<Symbol>{Lit('b')}));
    EXPECT_EQ(calls[3], (std::vector<Symbol>{Lit('a'), Lit('b')}));
    EXPECT_EQ(calls[4], (std::vector<Symbol>{Pair(4, 2)})) << Show(calls[4]);
}

} // namespace
