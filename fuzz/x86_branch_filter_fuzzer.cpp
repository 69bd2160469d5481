// The branch filter on arbitrary bytes: encoding in pieces cut where the
// input says must give the bytes of encoding at once, and decoding them, cut
// elsewhere, must give the input back.
#include "compress/x86_branch_filter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The stream through one filter, in calls of piece bytes (0: one call).
Bytes Run(X86BranchFilter::Direction direction, const std::uint8_t* data, std::size_t size, std::size_t piece) {
    X86BranchFilter filter(direction);
    Bytes stream, out;
    std::size_t at = 0;
    do {
        const std::size_t length = piece != 0 && piece < size - at ? piece : size - at;
        filter.Update(data + at, length, out);
        stream.insert(stream.end(), out.begin(), out.end());
        at += length;
    } while (at < size);
    filter.Finish(out);
    stream.insert(stream.end(), out.begin(), out.end());
    return stream;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes pick the piece sizes of encoding and decoding.
    const std::size_t encodePiece = data[0], decodePiece = data[1];
    data += 2;
    size -= 2;
    using Direction = X86BranchFilter::Direction;
    const Bytes whole = Run(Direction::Encode, data, size, 0);
    if (Run(Direction::Encode, data, size, encodePiece) != whole) std::abort();
    const Bytes back = Run(Direction::Decode, whole.data(), whole.size(), decodePiece);
    if (back != Bytes(data, data + size)) std::abort();
    return 0;
}
