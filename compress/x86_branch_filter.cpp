// The x86 branch filter. Bytes are scanned in stream order from a scan
// position that starts at 0:
//
//   - The byte at the scan position is an opcode when it is E8 (call rel32)
//     or E9 (jmp rel32) and 4 more bytes of the stream follow it.
//   - Its 4 following bytes, a little-endian value V, are converted when the
//     top byte of V is 0x00 or 0xFF, that is when V is the sign extension of
//     its low 25 bits: a displacement within 16 MiB either way, which is what
//     real calls hold. Encoding adds, decoding subtracts, the position of the
//     end of the instruction (opcode position + 5) to V modulo 2^25 and
//     sign-extends the result from bit 24, so a converted value again has
//     top byte 0x00 or 0xFF. For streams under 16 MiB, a target inside the
//     stream thus reads as its absolute position.
//   - The scan resumes behind the opcode's 4 bytes, converted or not.
//
// Why decoding makes the encoder's decisions: the scan visits the same
// positions on both sides, and every byte the scan reaches and the 4 bytes
// after it were never touched by another conversion, since conversions never
// overlap: so the opcode byte is the same on both sides, and the test on V
// holds for the converted value exactly when it held for the original, since
// both sides map the 2^25 sign-extended values onto themselves, one-to-one.
// Every other value of V is left alone by both. So decoding restores every
// input, executable or not. (Resuming at the next byte after an unconverted
// opcode would break this: a conversion starting within its 4 bytes would
// rewrite the top byte it was judged by.)
//
// Only the end of the stream can make a byte undecidable: an E8 or E9 with
// fewer than 4 bytes after it in the data at hand. Those bytes are held until
// more arrive, which keeps the output independent of how the input is cut.
#include "compress/x86_branch_filter.h"

#include "common/little_endian.h"

#include <algorithm>

namespace {

constexpr std::size_t kInstructionSize = 5;
constexpr std::uint32_t kValueMask = 0x1FFFFFF; // the low 25 bits
constexpr std::uint32_t kSignBit = 0x1000000;

bool IsBranchOpcode(std::uint8_t byte) { return (byte & 0xFE) == 0xE8; }

} // namespace

std::size_t ConvertX86Branches(std::uint8_t* data, std::size_t size, std::uint32_t position,
                               X86BranchFilter::Direction direction) {
    const bool encode = direction == X86BranchFilter::Direction::Encode;
    std::size_t at = 0;
    while (at + kInstructionSize <= size) {
        if (!IsBranchOpcode(data[at])) {
            ++at;
            continue;
        }
        const std::uint8_t top = data[at + 4];
        if (top != 0x00 && top != 0xFF) {
            at += kInstructionSize;
            continue;
        }
        const std::uint32_t end = position + static_cast<std::uint32_t>(at + kInstructionSize);
        const std::uint32_t value = LoadLittleEndian32(data + at + 1);
        const std::uint32_t moved = ((encode ? value + end : value - end) & kValueMask) ^ kSignBit;
        StoreLittleEndian32(moved - kSignBit, data + at + 1);
        at += kInstructionSize;
    }
    while (at < size && !IsBranchOpcode(data[at])) ++at;
    return at;
}

void X86BranchFilter::Update(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output) {
    output.assign(held_, held_ + heldCount_);
    output.insert(output.end(), input, input + length);
    const std::size_t done = ConvertX86Branches(output.data(), output.size(), position_, direction_);
    heldCount_ = output.size() - done;
    std::copy(output.begin() + static_cast<std::ptrdiff_t>(done), output.end(), held_);
    output.resize(done);
    position_ += static_cast<std::uint32_t>(done);
}

void X86BranchFilter::Finish(std::vector<std::uint8_t>& output) {
    output.assign(held_, held_ + heldCount_);
    heldCount_ = 0;
    position_ = 0;
}
