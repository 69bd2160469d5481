#include "tools/zorlog-console/escape_stripper.h"

namespace zorlog_console {

namespace {

constexpr unsigned char kEscape = 0x1B;

bool IsIntermediate(unsigned char byte) { return byte >= 0x20 && byte <= 0x2F; }
bool IsParameter(unsigned char byte) { return byte >= 0x30 && byte <= 0x3F; }
bool IsControlFinal(unsigned char byte) { return byte >= 0x40 && byte <= 0x7E; }
bool IsEscapeFinal(unsigned char byte) { return byte >= 0x30 && byte <= 0x7E; }

} // namespace

std::size_t EscapeStripper::strip(char* bytes, std::size_t size) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (state_ != State::Text && continueSequence(byte)) continue;
        if (byte == kEscape) {
            state_ = State::Escape;
            length_ = 1;
        } else {
            bytes[kept++] = bytes[i];
        }
    }
    return kept;
}

bool EscapeStripper::continueSequence(unsigned char byte) {
    State next = State::Text; // the byte ends the sequence
    bool part = true;
    switch (state_) {
    case State::Text:
        return false;
    case State::Escape:
        if (byte == '[')
            next = State::Parameters;
        else if (IsIntermediate(byte))
            next = State::EscapeIntermediate;
        else
            part = IsEscapeFinal(byte);
        break;
    case State::EscapeIntermediate:
        if (IsIntermediate(byte))
            next = State::EscapeIntermediate;
        else
            part = IsEscapeFinal(byte);
        break;
    case State::Parameters:
        if (IsParameter(byte))
            next = State::Parameters;
        else if (IsIntermediate(byte))
            next = State::ControlIntermediate;
        else
            part = IsControlFinal(byte);
        break;
    case State::ControlIntermediate:
        if (IsIntermediate(byte))
            next = State::ControlIntermediate;
        else
            part = IsControlFinal(byte);
        break;
    }
    // A sequence that goes on too long is given up: what follows is text.
    if (next != State::Text && ++length_ >= kMaxSequenceLength) next = State::Text;
    state_ = next;
    return part;
}

} // namespace zorlog_console
