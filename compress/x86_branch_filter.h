// A reversible transform of x86 machine code that makes it compress better:
// the relative displacement of a call (E8) or jump (E9) becomes the target's
// position in the stream, so every call of one function carries the same four
// bytes. See x86_branch_filter.cpp for the rule that picks the conversions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class X86BranchFilter {
public:
    enum class Direction : std::uint8_t { Encode, Decode };

    explicit X86BranchFilter(Direction direction) : direction_(direction) {}

    // Transforms input as the next part of the stream and puts the bytes that
    // are final into output (replacing its content). Up to 4 bytes, an opcode
    // whose displacement has not fully arrived, stay behind and open the next
    // call's output. The bytes produced over a stream do not depend on how it
    // was cut into calls.
    void Update(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output);

    // Ends the stream: output receives the bytes still held, unchanged (an
    // opcode less than 5 bytes from the end is never converted). The filter
    // then starts a new stream.
    void Finish(std::vector<std::uint8_t>& output);

private:
    Direction direction_;
    std::uint32_t position_ = 0; // stream position of the first byte held
    std::uint8_t held_[4] = {};
    std::size_t heldCount_ = 0;
};

// Converts the branches of data[0, size), whose first byte sits at stream
// position position, in place, and returns how many leading bytes are final.
// The rest, at most 4 bytes starting with an opcode, must be passed again at
// the start of the next call (or left as they are at the end of the stream).
std::size_t ConvertX86Branches(std::uint8_t* data, std::size_t size, std::uint32_t position,
                               X86BranchFilter::Direction direction);
