// The deflate decoder: a state machine that runs until the call's input is
// used up and no state can advance with the bits held.
//
// Tolerances kept from the stream format's first readers: the zlib header is
// skipped unchecked, the final-block flag is ignored (the stream never ends),
// block type 3 is read as another block header, NLEN of stored blocks is not
// compared, a repeat of the previous code length with none before repeats 0,
// and repeats stop at the declared number of lengths.
//
// Malformed input fails closed: over-subscribed or incomplete code lengths
// (beyond the single one-bit code that encoders write for one distance),
// codes absent from a table, literal/length symbols 286 and 287, distance
// symbols 30 and 31, and a literal/length code without end-of-block. A
// distance that reaches before the first byte copies from the zero-filled
// window, which is always 32 KiB long, so no copy leaves the buffer.
#include "compress/deflate_decoder.h"

#include "common/little_endian.h"
#include "compress/deflate_tables.h"

#include <algorithm>
#include <cstring>

using namespace deflate;

namespace {

constexpr std::size_t kInitialCapacity = kWindowSize + 65536 + 1024;
// Room a match may take: its length plus the 8-byte overrun of word copies.
constexpr std::size_t kMatchRoom = kMaxMatch + 8;
// Room the fast loop asks for before it starts.
constexpr std::size_t kFastRoom = 65536;

// Copies length bytes from distance back; overlapping copies repeat bytes.
// Word copies may write up to 8 bytes past the end: callers leave kMatchRoom.
void CopyMatch(std::uint8_t* out, std::uint32_t distance, std::uint32_t length) {
    const std::uint8_t* from = out - distance;
    if (distance >= 8) {
        for (std::uint32_t done = 0; done < length; done += 8) std::memcpy(out + done, from + done, 8);
    } else if (distance == 1) {
        std::memset(out, *from, length);
    } else {
        for (std::uint32_t i = 0; i < length; ++i) out[i] = from[i];
    }
}

} // namespace

DeflateDecoder::DeflateDecoder() {
    std::uint8_t lengths[kLiteralLengthAlphabet];
    for (int symbol = 0; symbol < kLiteralLengthAlphabet; ++symbol)
        lengths[symbol] = static_cast<std::uint8_t>(FixedLiteralLengthBits(symbol));
    fixedLiterals_.Build(lengths, kLiteralLengthAlphabet, HuffmanTable::Completeness::Required);
    std::fill_n(lengths, kDistanceAlphabet, static_cast<std::uint8_t>(kFixedDistanceBits));
    fixedDistances_.Build(lengths, kDistanceAlphabet, HuffmanTable::Completeness::Required);
}

void DeflateDecoder::Reset() {
    state_ = State::StreamHeader;
    in_ = inEnd_ = nullptr;
    bits_ = 0;
    bitCount_ = 0;
    // A hostile stream may have grown the window far beyond its usual size.
    if (capacity_ > kInitialCapacity) {
        window_.reset();
        capacity_ = 0;
    }
    if (window_) {
        std::memset(window_.get(), 0, kWindowSize);
        position_ = kWindowSize;
    }
    literals_ = distances_ = nullptr;
    literalCount_ = distanceCount_ = codeLengthCount_ = lengthsRead_ = 0;
    std::fill_n(lengths_, sizeof lengths_, std::uint8_t{0});
    storedRemaining_ = 0;
    lengthSymbol_ = distanceSymbol_ = 0;
    matchLength_ = 0;
}

bool DeflateDecoder::Decode(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output) {
    output.clear();
    if (state_ == State::Failed) return false;
    if (!window_) {
        // Made on first use, so that a codec that only encodes never needs it.
        // Only the history before the first byte must read as zeros.
        window_ = std::make_unique_for_overwrite<std::uint8_t[]>(kInitialCapacity);
        std::memset(window_.get(), 0, kWindowSize);
        capacity_ = kInitialCapacity;
        position_ = kWindowSize;
    }
    in_ = input;
    inEnd_ = input + length;
    const Step result = Run();
    in_ = inEnd_ = nullptr;

    output.assign(window_.get() + kWindowSize, window_.get() + position_);
    // Keep the last 32 KiB as the next call's history.
    std::memmove(window_.get(), window_.get() + position_ - kWindowSize, kWindowSize);
    position_ = kWindowSize;
    if (result == Step::Malformed) {
        state_ = State::Failed;
        return false;
    }
    return true;
}

void DeflateDecoder::Refill() {
    if (inEnd_ - in_ >= 8) {
        bits_ |= LoadLittleEndian64(in_) << bitCount_;
        const int bytes = (63 - bitCount_) >> 3;
        in_ += bytes;
        bitCount_ += bytes * 8;
        return;
    }
    while (bitCount_ <= 56 && in_ < inEnd_) {
        bits_ |= static_cast<std::uint64_t>(*in_++) << bitCount_;
        bitCount_ += 8;
    }
}

bool DeflateDecoder::Need(int count) {
    if (bitCount_ < count) Refill();
    return bitCount_ >= count;
}

std::uint32_t DeflateDecoder::Take(int count) {
    const auto value = static_cast<std::uint32_t>(bits_ & ((std::uint64_t{1} << count) - 1));
    Drop(count);
    return value;
}

DeflateDecoder::Step DeflateDecoder::Lookup(const HuffmanTable& table, HuffmanTable::Entry& entry) {
    if (bitCount_ < table.Bits()) Refill();
    entry = table.Lookup(bits_);
    if (entry.length != 0 && entry.length <= bitCount_) {
        Drop(entry.length);
        return Step::Continue;
    }
    // With all the bits a code can have present, no code matches.
    return bitCount_ >= table.Bits() ? Step::Malformed : Step::NeedInput;
}

void DeflateDecoder::Reserve(std::size_t bytes) {
    if (position_ + bytes <= capacity_) return;
    const std::size_t capacity = std::max(capacity_ * 2, position_ + bytes);
    std::unique_ptr<std::uint8_t[]> grown(new std::uint8_t[capacity]);
    std::memcpy(grown.get(), window_.get(), position_);
    window_ = std::move(grown);
    capacity_ = capacity;
}

DeflateDecoder::Step DeflateDecoder::Run() {
    for (;;) {
        Step step = Step::Continue;
        switch (state_) {
        case State::StreamHeader:
            if (!Need(16)) return Step::NeedInput;
            Drop(16);
            state_ = State::BlockHeader;
            break;
        case State::BlockHeader: {
            if (!Need(3)) return Step::NeedInput;
            const std::uint32_t type = Take(3) >> 1;
            if (type == 0) {
                Drop(bitCount_ % 8);
                state_ = State::StoredHeader;
            } else if (type == 1) {
                literals_ = &fixedLiterals_;
                distances_ = &fixedDistances_;
                state_ = State::LiteralLength;
            } else if (type == 2) {
                state_ = State::DynamicHeader;
            }
            break;
        }
        case State::StoredHeader:
            if (!Need(32)) return Step::NeedInput;
            storedRemaining_ = Take(16);
            Drop(16); // NLEN
            state_ = storedRemaining_ == 0 ? State::BlockHeader : State::StoredBytes;
            break;
        case State::StoredBytes:
            step = CopyStored();
            break;
        case State::DynamicHeader:
            if (!Need(14)) return Step::NeedInput;
            literalCount_ = static_cast<int>(Take(5)) + 257;
            distanceCount_ = static_cast<int>(Take(5)) + 1;
            codeLengthCount_ = static_cast<int>(Take(4)) + 4;
            std::fill_n(lengths_, kCodeLengthAlphabet, std::uint8_t{0});
            lengthsRead_ = 0;
            state_ = State::CodeLengthCodes;
            break;
        case State::CodeLengthCodes:
            while (lengthsRead_ < codeLengthCount_) {
                if (!Need(3)) return Step::NeedInput;
                lengths_[kCodeLengthOrder[lengthsRead_++]] = static_cast<std::uint8_t>(Take(3));
            }
            if (!codeLengthTable_.Build(lengths_, kCodeLengthAlphabet, HuffmanTable::Completeness::Required))
                return Step::Malformed;
            lengthsRead_ = 0;
            state_ = State::CodeLengths;
            break;
        case State::CodeLengths:
            step = ReadCodeLengths();
            break;
        case State::LiteralLength:
        case State::LengthExtra:
        case State::Distance:
        case State::DistanceExtra:
            step = DecodeSymbols();
            break;
        case State::Failed:
            return Step::Malformed;
        }
        if (step != Step::Continue) return step;
    }
}

DeflateDecoder::Step DeflateDecoder::CopyStored() {
    // Whole bytes still in the bit buffer come first, then the input itself.
    while (storedRemaining_ != 0 && bitCount_ >= 8) {
        Reserve(1);
        window_[position_++] = static_cast<std::uint8_t>(Take(8));
        --storedRemaining_;
    }
    if (storedRemaining_ != 0) {
        bits_ = 0; // any bits above the count are input bytes read again below
        const std::size_t count = std::min<std::size_t>(storedRemaining_, static_cast<std::size_t>(inEnd_ - in_));
        Reserve(count);
        std::memcpy(window_.get() + position_, in_, count);
        position_ += count;
        in_ += count;
        storedRemaining_ -= static_cast<std::uint32_t>(count);
        if (storedRemaining_ != 0) return Step::NeedInput;
    }
    state_ = State::BlockHeader;
    return Step::Continue;
}

DeflateDecoder::Step DeflateDecoder::ReadCodeLengths() {
    const int total = literalCount_ + distanceCount_;
    while (lengthsRead_ < total) {
        // A symbol is taken only together with its repeat bits.
        if (bitCount_ < 7 + 7) Refill();
        const HuffmanTable::Entry entry = codeLengthTable_.Lookup(bits_);
        if (entry.length == 0 || entry.length > bitCount_)
            return bitCount_ >= codeLengthTable_.Bits() ? Step::Malformed : Step::NeedInput;
        const int symbol = entry.symbol;
        if (symbol < 16) {
            Drop(entry.length);
            lengths_[lengthsRead_++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        static constexpr int kRepeatBits[] = {2, 3, 7};
        static constexpr int kRepeatBase[] = {3, 3, 11};
        const int extra = kRepeatBits[symbol - 16];
        if (bitCount_ < entry.length + extra) return Step::NeedInput;
        Drop(entry.length);
        const int count = kRepeatBase[symbol - 16] + static_cast<int>(Take(extra));
        const std::uint8_t value = symbol == 16 && lengthsRead_ > 0 ? lengths_[lengthsRead_ - 1] : 0;
        const int end = std::min(total, lengthsRead_ + count);
        std::fill(lengths_ + lengthsRead_, lengths_ + end, value);
        lengthsRead_ = end;
    }
    return FinishDynamicHeader();
}

DeflateDecoder::Step DeflateDecoder::FinishDynamicHeader() {
    using Completeness = HuffmanTable::Completeness;
    if (lengths_[kEndOfBlock] == 0 ||
        !dynamicLiterals_.Build(lengths_, literalCount_, Completeness::SingleCodeAllowed) ||
        !dynamicDistances_.Build(lengths_ + literalCount_, distanceCount_, Completeness::SingleCodeAllowed))
        return Step::Malformed;
    literals_ = &dynamicLiterals_;
    distances_ = &dynamicDistances_;
    state_ = State::LiteralLength;
    return Step::Continue;
}

// The common case of DecodeSymbols, while at least 8 input bytes and room
// for a longest match remain: the bit buffer is refilled to 56 bits or more
// before each symbol, enough for a literal/length code, a distance code and
// both extra fields, so no symbol waits. Everything lives in locals: stores
// through the output pointer would otherwise force every member to be
// reloaded. Returns NeedInput when it stops short of the block's end.
DeflateDecoder::Step DeflateDecoder::DecodeSymbolsFast() {
    const HuffmanTable& literals = *literals_;
    const HuffmanTable& distances = *distances_;
    const std::uint8_t* in = in_;
    const std::uint8_t* const inLimit = inEnd_ - 8;
    std::uint64_t bits = bits_;
    int count = bitCount_;
    std::uint8_t* const window = window_.get();
    std::uint8_t* out = window + position_;
    std::uint8_t* const outLimit = window + capacity_ - kMatchRoom;
    Step result = Step::NeedInput;

    while (in <= inLimit && out <= outLimit) {
        bits |= LoadLittleEndian64(in) << count;
        in += (63 - count) >> 3;
        count |= 56;

        HuffmanTable::Entry entry = literals.Lookup(bits);
        if (entry.length == 0) {
            result = Step::Malformed;
            break;
        }
        bits >>= entry.length;
        count -= entry.length;
        if (entry.symbol < 256) {
            *out++ = static_cast<std::uint8_t>(entry.symbol);
            // Further literals without a refill while a longest code surely
            // fits in the bits held (at most 56 of them: within kMatchRoom).
            while (count >= kMaxCodeLength) {
                entry = literals.Lookup(bits);
                if (entry.symbol >= 256 || entry.length == 0) break;
                bits >>= entry.length;
                count -= entry.length;
                *out++ = static_cast<std::uint8_t>(entry.symbol);
            }
            continue;
        }
        if (entry.symbol == kEndOfBlock) {
            state_ = State::BlockHeader;
            result = Step::Continue;
            break;
        }
        const int lengthSymbol = entry.symbol - 257;
        if (lengthSymbol >= kLengthSymbols) {
            result = Step::Malformed;
            break;
        }
        const int lengthExtra = kLengthExtraBits[lengthSymbol];
        const std::uint32_t length =
            kLengthBase[lengthSymbol] + static_cast<std::uint32_t>(bits & ((1u << lengthExtra) - 1));
        bits >>= lengthExtra;
        count -= lengthExtra;

        entry = distances.Lookup(bits);
        if (entry.length == 0 || entry.symbol >= kDistanceSymbols) {
            result = Step::Malformed;
            break;
        }
        bits >>= entry.length;
        count -= entry.length;
        const int distanceExtra = kDistanceExtraBits[entry.symbol];
        const std::uint32_t distance =
            kDistanceBase[entry.symbol] + static_cast<std::uint32_t>(bits & ((1u << distanceExtra) - 1));
        bits >>= distanceExtra;
        count -= distanceExtra;

        CopyMatch(out, distance, length);
        out += length;
    }
    // Bits above the count are stream bits read ahead: they are read again.
    bits_ = bits & ((std::uint64_t{1} << count) - 1);
    bitCount_ = count;
    in_ = in;
    position_ = static_cast<std::size_t>(out - window);
    return result;
}

// Literals, lengths and distances of one block, until its end-of-block code.
// Each state falls through to the next as long as bits allow, so a whole
// length/distance pair is normally read in one pass.
DeflateDecoder::Step DeflateDecoder::DecodeSymbols() {
    const HuffmanTable& literals = *literals_;
    const HuffmanTable& distances = *distances_;
    if (state_ == State::LiteralLength) {
        Reserve(kFastRoom);
        if (const Step step = DecodeSymbolsFast(); step != Step::NeedInput) return step;
    }
    for (;;) {
        HuffmanTable::Entry entry;
        switch (state_) {
        case State::LiteralLength: {
            Reserve(kMatchRoom);
            if (const Step step = Lookup(literals, entry); step != Step::Continue) return step;
            if (entry.symbol < 256) {
                window_[position_++] = static_cast<std::uint8_t>(entry.symbol);
                continue;
            }
            if (entry.symbol == kEndOfBlock) {
                state_ = State::BlockHeader;
                return Step::Continue;
            }
            lengthSymbol_ = entry.symbol - 257;
            if (lengthSymbol_ >= kLengthSymbols) return Step::Malformed;
            state_ = State::LengthExtra;
            [[fallthrough]];
        }
        case State::LengthExtra: {
            const int extra = kLengthExtraBits[lengthSymbol_];
            if (!Need(extra)) return Step::NeedInput;
            matchLength_ = kLengthBase[lengthSymbol_] + Take(extra);
            state_ = State::Distance;
            [[fallthrough]];
        }
        case State::Distance:
            if (const Step step = Lookup(distances, entry); step != Step::Continue) return step;
            distanceSymbol_ = entry.symbol;
            if (distanceSymbol_ >= kDistanceSymbols) return Step::Malformed;
            state_ = State::DistanceExtra;
            [[fallthrough]];
        case State::DistanceExtra: {
            const int extra = kDistanceExtraBits[distanceSymbol_];
            if (!Need(extra)) return Step::NeedInput;
            const std::uint32_t distance = kDistanceBase[distanceSymbol_] + Take(extra);
            Reserve(kMatchRoom);
            CopyMatch(window_.get() + position_, distance, matchLength_);
            position_ += matchLength_;
            state_ = State::LiteralLength;
            break;
        }
        default:
            return Step::Continue;
        }
    }
}
