// Removing terminal escape sequences from records that arrive datagram by
// datagram: the sequences the colour target sends, sequences cut at any
// point, broken and endless sequences, and text that must come through
// untouched.
#include "tools/zorlog-console/escape_stripper.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using zorlog_console::EscapeStripper;

// The pieces fed in order to one stripper, and what it let through.
std::string Stripped(const std::vector<std::string>& pieces) {
    EscapeStripper stripper;
    std::string result;
    for (std::string piece : pieces) {
        const std::size_t kept = stripper.strip(piece.data(), piece.size());
        EXPECT_LE(kept, piece.size());
        result.append(piece, 0, kept);
    }
    return result;
}

std::string Stripped(const std::string& text) { return Stripped(std::vector<std::string>{text}); }

TEST(EscapeStripper, RemovesWhatTheColourTargetSends) {
    const struct {
        std::string sent;
        std::string shown;
    } cases[] = {
        {"\033[01;33mWARN  disk full\r\n\033[0m", "WARN  disk full\r\n"},
        {"\033[0mNOTICE plain\r\n\033[0m", "NOTICE plain\r\n"},
        {"\033[2J\033[H", ""},
        {"\033[01;34mTRACE a\r\nsecond line\r\n\033[0m", "TRACE a\r\nsecond line\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Stripped(c.sent), c.shown) << ::testing::PrintToString(c.sent);
}

TEST(EscapeStripper, RemovesOtherControlAndEscapeSequences) {
    const struct {
        std::string sent;
        std::string shown;
    } cases[] = {
        {"a\033[?25lb", "ab"},        // private parameters
        {"a\033[1 qb", "ab"},         // an intermediate byte before the final one
        {"a\033[38;5;208mb", "ab"},   // 256-colour form
        {"a\033[38:2:1:2:3mb", "ab"}, // colon-separated parameters
        {"a\033[mb", "ab"},           // no parameters
        {"a\033cb", "ab"},            // two-byte escapes
        {"a\0337b\0338c", "abc"},
        {"a\033(Bb", "ab"},      // an intermediate byte, then the final one
        {"a\033\033[0mb", "ab"}, // ESC ESC: the first is abandoned
    };
    for (const auto& c : cases) EXPECT_EQ(Stripped(c.sent), c.shown) << ::testing::PrintToString(c.sent);
}

TEST(EscapeStripper, TextWithoutEscapesPassesByteForByte) {
    std::string everyOtherByte;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != 0x1B) everyOtherByte += static_cast<char>(byte);
    const std::string cases[] = {
        "",
        "plain record\r\n",
        std::string("nul \0 inside\r\n", 15),
        "caf\xC3\xA9 \xE2\x9C\x93 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\xA6\r\n", // é ✓ 日本 📦
        "\23331m is not a control sequence: 0x9B continues UTF-8",
        everyOtherByte,
    };
    for (const std::string& text : cases) EXPECT_EQ(Stripped(text), text) << ::testing::PrintToString(text);
}

TEST(EscapeStripper, ASequenceCutAnywhereIsFinishedInTheNextPiece) {
    const std::string sent = "one\033[01;33mtwo\r\n\033[0m\033(Bthree\033[38;5;208m\xC3\xA9\033[0m";
    const std::string shown = "onetwo\r\nthree\xC3\xA9";
    ASSERT_EQ(Stripped(sent), shown);
    for (std::size_t cut = 0; cut <= sent.size(); ++cut)
        EXPECT_EQ(Stripped({sent.substr(0, cut), sent.substr(cut)}), shown) << "cut at " << cut;
    std::vector<std::string> bytes;
    for (const char c : sent) bytes.emplace_back(1, c);
    EXPECT_EQ(Stripped(bytes), shown);
    // Empty pieces in between change nothing.
    EXPECT_EQ(Stripped({"a\033[", "", "", "1m", "", "b"}), "ab");
}

TEST(EscapeStripper, SaysWhileASequenceIsOpen) {
    EscapeStripper stripper;
    std::string piece = "text\033[01;3";
    EXPECT_EQ(stripper.strip(piece.data(), piece.size()), 4u);
    EXPECT_TRUE(stripper.insideSequence());
    piece = "3m";
    EXPECT_EQ(stripper.strip(piece.data(), piece.size()), 0u);
    EXPECT_FALSE(stripper.insideSequence());
}

TEST(EscapeStripper, ABrokenSequenceLosesOnlyItsOwnBytes) {
    const struct {
        std::string sent;
        std::string shown;
    } cases[] = {
        {"end\033\r\nnext", "end\r\nnext"}, // a line end is never swallowed
        {"a\033[12\r\nb", "a\r\nb"},
        {std::string("a\033[\0b", 5), std::string("a\0b", 3)}, // NUL ends it and is kept
        {"a\033[1;2\033[0mb", "ab"},                           // a new ESC starts again
        {"a\033[1 2mb", "a2mb"},                               // a parameter after an intermediate byte
        {"\033\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},        // UTF-8 after ESC stays whole
        {"\033[\xE2\x9C\x93", "\xE2\x9C\x93"},
        {"a\033[1\177b", "a\177b"}, // DEL
        {"a\033(\tb", "a\tb"},
    };
    for (const auto& c : cases) EXPECT_EQ(Stripped(c.sent), c.shown) << ::testing::PrintToString(c.sent);
}

TEST(EscapeStripper, AnEndlessSequenceIsGivenUp) {
    // ESC, "[" and parameters up to the limit are dropped; the rest is text.
    const std::size_t dropped = EscapeStripper::kMaxSequenceLength - 2;
    const std::string digits(dropped + 38, '7');
    EscapeStripper stripper;
    std::string piece = "\033[" + digits + "m after";
    const std::size_t kept = stripper.strip(piece.data(), piece.size());
    EXPECT_EQ(piece.substr(0, kept), std::string(38, '7') + "m after");
    EXPECT_FALSE(stripper.insideSequence());
    // A sequence just within the limit is still removed whole.
    EXPECT_EQ(Stripped("a\033[" + std::string(dropped - 1, '1') + "mb"), "ab");
}

TEST(EscapeStripper, HostileBytesKeepEveryByteNoSequenceCanHold) {
    // Control characters other than ESC, DEL and bytes of 0x80 and above can
    // never be part of a sequence: all of them come through, in order, and no
    // ESC does, however the stream is cut.
    std::mt19937 generator(4884);
    std::string bytes(1 << 20, '\0');
    for (char& byte : bytes) {
        const unsigned roll = generator() % 16;
        byte = static_cast<char>(roll < 3 ? 0x1B : roll < 5 ? '[' : roll < 7 ? ';' : generator() & 0xFF);
    }
    auto neverInASequence = [](const std::string& text) {
        std::string kept;
        for (const char c : text) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && byte != 0x1B) || byte >= 0x7F) kept += c;
        }
        return kept;
    };
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t size = std::min<std::size_t>(generator() % 1500, bytes.size() - at);
        pieces.push_back(bytes.substr(at, size));
        at += size;
    }
    const std::string shown = Stripped(pieces);
    EXPECT_EQ(shown.find('\033'), std::string::npos);
    EXPECT_EQ(neverInASequence(shown), neverInASequence(bytes));
    EXPECT_EQ(Stripped(bytes), shown);
}

} // namespace
