// Removal of terminal escape sequences (colours, cursor movement) from text
// that arrives in pieces, for showing coloured records on an output that
// should not get them.
//
// What counts as a sequence:
//   - a control sequence: ESC '[', any parameter bytes (0x30-0x3F), then any
//     intermediate bytes (0x20-0x2F), ended by a final byte (0x40-0x7E);
//   - any other escape: ESC, any intermediate bytes (0x20-0x2F), ended by a
//     byte from 0x30 to 0x7E ("ESC c", "ESC ( B", "ESC 7").
// A sequence may be cut anywhere between two pieces; it is finished in the
// next piece.
//
// Malformed input never costs text that is not part of a sequence: a byte
// that cannot continue the sequence (a control character such as CR or LF,
// DEL, a byte of 0x80 or above, a parameter byte after an intermediate one)
// ends it, the bytes of the sequence so far are dropped, and that byte is
// read as text; an ESC starts a new sequence. A sequence that has not ended
// after kMaxSequenceLength bytes is dropped as well, and what follows is
// text again. The state is a few bytes whatever the input: nothing is held
// back between pieces, so memory does not grow with hostile input.
//
// Bytes of 0x80 and above are never taken for the one-byte control sequence
// introducer (0x9B) of 8-bit terminals: they are the continuation bytes of
// UTF-8 text, which passes through unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zorlog_console {

class EscapeStripper {
public:
    // Longest sequence, its ESC included, that is waited for to end. Real
    // sequences are a dozen bytes; a colour with every attribute is below 40.
    static constexpr std::size_t kMaxSequenceLength = 64;

    // Removes the sequences from bytes[0, size) in place and returns how many
    // bytes are left at the front; the output is never longer than the input.
    std::size_t strip(char* bytes, std::size_t size);

    // True while a sequence begun in an earlier piece has not ended.
    bool insideSequence() const { return state_ != State::Text; }

private:
    enum class State : std::uint8_t {
        Text,
        Escape,             // ESC seen
        EscapeIntermediate, // ESC and intermediate bytes
        Parameters,         // ESC '[' and parameter bytes
        ControlIntermediate // ESC '[', parameters and intermediate bytes
    };

    // Feeds one byte to the open sequence; false when the byte is not part of
    // it (the sequence has then been abandoned).
    bool continueSequence(unsigned char byte);

    State state_ = State::Text;
    std::size_t length_ = 0; // bytes of the open sequence, ESC included
};

} // namespace zorlog_console
