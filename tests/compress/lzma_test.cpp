// The LZMA codec: round trips over a table of inputs and parameters, and the
// decoder's result for every kind of bad stream.
#include "lzma_test_support.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

lzma::Properties Props(int lc, int lp, int pb, std::uint32_t dictionary) {
    lzma::Properties p;
    p.lc = lc;
    p.lp = lp;
    p.pb = pb;
    p.dictionarySize = dictionary;
    return p;
}

TEST(LzmaCodec, RoundTrips) {
    const Bytes text = RandomText(200000, 1);
    const struct {
        const char* name;
        Bytes input;
        lzma::Properties properties;
    } kCases[] = {
        {"empty", {}, {}},
        {"one byte", {0x5A}, {}},
        {"run", Bytes(100000, 'a'), {}},
        {"text", text, {}},
        {"noise", RandomBytes(70000, 2), {}},
        {"records", Records(100000, 3), Props(0, 2, 2, 1 << 16)},
        {"mixed", Concat({text, RandomBytes(5000, 4), Records(30000, 5), text}), Props(4, 0, 0, 1 << 20)},
        // Far longer than window and dictionary: the window slides.
        {"past the dictionary", Concat({RandomText(300000, 6), RandomBytes(9000, 7), RandomText(300000, 6)}),
         Props(3, 0, 2, 4096)},
        {"lp and pb at their limits", Records(50000, 8), Props(0, 4, 4, 1 << 12)},
        {"lc 4 and pb 4", text, Props(4, 0, 4, 1 << 16)},
    };
    for (const auto& c : kCases) {
        LzmaEncoderOptions options;
        options.properties = c.properties;
        const Bytes stream = LzmaEncode(c.input, options);
        ASSERT_FALSE(stream.empty()) << c.name;
        EXPECT_EQ(stream[0], 0) << c.name;
        const LzmaDecoded decoded = LzmaDecode(stream, c.properties, c.input.size(), 1u << 30, 777);
        EXPECT_EQ(decoded.result, LzmaResult::Ok) << c.name;
        EXPECT_TRUE(decoded.output == c.input) << c.name;
    }
    // Text compresses; noise grows by little.
    EXPECT_LT(LzmaEncode(text).size(), text.size() / 6);
    EXPECT_LT(LzmaEncode(RandomBytes(70000, 2)).size(), 70000u * 102 / 100);
}

// A stream of decisions each made once, so every probability is still one
// half: range-coded as the format does, then flushed.
Bytes FreshDecisions(const std::vector<int>& bits) {
    Bytes out;
    std::uint64_t low = 0;
    std::uint32_t range = 0xFFFFFFFF;
    std::uint8_t cache = 0;
    std::size_t pending = 1;
    auto shift = [&] {
        if (static_cast<std::uint32_t>(low) < 0xFF000000u || (low >> 32) != 0) {
            for (std::uint8_t byte = cache; pending != 0; --pending, byte = 0xFF)
                out.push_back(static_cast<std::uint8_t>(byte + (low >> 32)));
            cache = static_cast<std::uint8_t>(low >> 24);
        }
        ++pending;
        low = (low & 0x00FFFFFF) << 8;
    };
    for (const int bit : bits) {
        const std::uint32_t bound = (range >> 11) * 1024;
        if (bit) {
            low += bound;
            range -= bound;
        } else {
            range = bound;
        }
        for (; range < (1u << 24); range <<= 8) shift();
    }
    for (int i = 0; i < 5; ++i) shift();
    return out;
}

TEST(LzmaDecoder, FailsClosed) {
    const Bytes input = RandomText(3000, 9);
    const lzma::Properties defaults;
    const Bytes stream = LzmaEncode(input);
    ASSERT_FALSE(stream.empty());

    struct Case {
        std::string name;
        Bytes stream;
        lzma::Properties properties;
        std::uint64_t size;
        std::uint32_t maxDictionary;
        std::optional<LzmaResult> expected; // none: any failure
    };
    std::vector<Case> cases = {
        {"bad lc", stream, Props(9, 0, 2, 1 << 16), input.size(), 1u << 30, LzmaResult::BadProperties},
        {"bad lp", stream, Props(0, 5, 2, 1 << 16), input.size(), 1u << 30, LzmaResult::BadProperties},
        {"bad pb", stream, Props(3, 0, 5, 1 << 16), input.size(), 1u << 30, LzmaResult::BadProperties},
        {"lc + lp above 4", stream, Props(3, 2, 2, 1 << 16), input.size(), 1u << 30, LzmaResult::BadProperties},
        {"dictionary over the maximum", stream, defaults, input.size(), (1u << 23) - 1, LzmaResult::DictionaryTooLarge},
        {"more bytes asked than the stream holds", stream, defaults, input.size() + 1, 1u << 30, LzmaResult::Truncated},
        {"a match running past the unpacked size", LzmaEncode(Bytes(1000, 'a')), defaults, 500, 1u << 30,
         LzmaResult::Corrupt},
        // is-match, not rep, length 2 (choice, 3 low bits), slot 0: distance 1
        // before the first byte.
        {"a distance before the first byte", FreshDecisions({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), defaults, 10,
         1u << 30, LzmaResult::Corrupt},
        // is-match, rep, rep0, short: the same.
        {"a short rep before the first byte", FreshDecisions({1, 1, 0, 0}), defaults, 10, 1u << 30,
         LzmaResult::Corrupt},
    };
    {
        // Distance 10000 is within 64 KiB but beyond a declared 4 KiB.
        const Bytes far = Concat({RandomBytes(10000, 10), RandomBytes(10000, 10)});
        LzmaEncoderOptions options;
        options.properties.dictionarySize = 1 << 16;
        cases.push_back({"a distance beyond the dictionary", LzmaEncode(far, options), Props(3, 0, 2, 4096), far.size(),
                         1u << 30, LzmaResult::Corrupt});
    }
    for (std::size_t length = 0; length < stream.size(); ++length) {
        cases.push_back({"cut at " + std::to_string(length), Bytes(stream.begin(), stream.begin() + length), defaults,
                         input.size(), 1u << 30, LzmaResult::Truncated});
    }
    for (std::size_t at = 0; at < stream.size(); ++at) {
        Bytes flipped = stream;
        flipped[at] ^= 0x10;
        cases.push_back({"flip at " + std::to_string(at), flipped, defaults, input.size(), 1u << 30,
                         at == 0 ? std::optional(LzmaResult::Corrupt) : std::nullopt});
    }
    for (const Case& c : cases) {
        const LzmaDecoded decoded = LzmaDecode(c.stream, c.properties, c.size, c.maxDictionary, 100);
        if (c.expected) {
            EXPECT_EQ(decoded.result, *c.expected) << c.name;
        } else {
            EXPECT_NE(decoded.result, LzmaResult::Ok) << c.name;
        }
        EXPECT_LT(decoded.output.size(), c.size) << c.name;
    }
}

} // namespace
