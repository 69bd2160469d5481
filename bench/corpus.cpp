#include "bench/corpus.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <numeric>
#include <random>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Regular files under root (symbolic links left out), in path order.
std::vector<fs::path> ListFiles(const fs::path& root) {
    std::vector<fs::path> files;
    std::error_code error;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
    for (; !error && it != end; it.increment(error)) {
        if (!it->is_symlink(error) && it->is_regular_file(error)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool HasExtension(const fs::path& path, std::initializer_list<const char*> extensions) {
    const std::string extension = path.extension().string();
    return std::any_of(extensions.begin(), extensions.end(), [&](const char* e) { return extension == e; });
}

Bytes ReadWholeFile(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error) return {};
    Bytes content(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(content.data()), static_cast<std::streamsize>(content.size()));
    content.resize(static_cast<std::size_t>(in.gcount()));
    return content;
}

// Appends files in order until out holds limit bytes; with textOnly, files
// holding a zero byte are passed over.
void AppendFiles(Bytes& out, const std::vector<fs::path>& files, std::size_t limit, bool textOnly) {
    for (const fs::path& path : files) {
        if (out.size() >= limit) return;
        const Bytes content = ReadWholeFile(path);
        if (textOnly && std::memchr(content.data(), 0, content.size()) != nullptr) continue;
        const std::size_t take = std::min(content.size(), limit - out.size());
        out.insert(out.end(), content.begin(), content.begin() + static_cast<std::ptrdiff_t>(take));
    }
}

// For one classic bucket, the successor of every byte pair p = b0 << 8 | b1:
// the only byte b2 that puts b0 b1 b2 into the bucket, or -1 when that byte
// would have to be 256 or more. Since 2039 is prime, b2 is fixed modulo 2039
// by b0 and b1, and it is a byte for about one pair in eight.
std::vector<int> Successors(std::uint32_t bucket) {
    std::uint32_t inverse269 = 1;
    while (inverse269 * 269 % kClassicBuckets != 1) ++inverse269;
    std::vector<int> next(65536, -1);
    for (std::uint32_t pair = 0; pair < 65536; ++pair) {
        const std::uint32_t head = ((pair >> 8) * 257 + (pair & 0xFF) * 263) % kClassicBuckets;
        const std::uint32_t b2 = (bucket + kClassicBuckets - head) * inverse269 % kClassicBuckets;
        if (b2 < 256) next[pair] = static_cast<int>(b2);
    }
    return next;
}

// Cuts the bucket's sequences into byte strings whose every three-byte
// sequence is in the bucket, each sequence in exactly one string, and returns
// how many strings that takes. By the same argument as for b2, b0 is fixed by
// b1 and b2, so every pair has at most one predecessor as well as at most one
// successor: the pairs form disjoint simple paths and cycles. Paths are
// walked from their first pair, then every cycle once around.
std::size_t CutIntoPieces(const std::vector<int>& next, std::vector<Bytes>* pieces) {
    std::vector<bool> hasPredecessor(65536), visited(65536);
    for (std::uint32_t pair = 0; pair < 65536; ++pair) {
        if (next[pair] >= 0) hasPredecessor[((pair & 0xFF) << 8) | static_cast<std::uint32_t>(next[pair])] = true;
    }
    std::size_t count = 0;
    auto walk = [&](std::uint32_t start) {
        Bytes piece{static_cast<std::uint8_t>(start >> 8), static_cast<std::uint8_t>(start)};
        for (std::uint32_t pair = start; next[pair] >= 0 && !visited[pair];) {
            visited[pair] = true;
            piece.push_back(static_cast<std::uint8_t>(next[pair]));
            pair = ((pair & 0xFF) << 8) | static_cast<std::uint32_t>(next[pair]);
        }
        ++count;
        if (pieces) pieces->push_back(std::move(piece));
    };
    for (std::uint32_t pair = 0; pair < 65536; ++pair) {
        if (next[pair] >= 0 && !hasPredecessor[pair]) walk(pair);
    }
    for (std::uint32_t pair = 0; pair < 65536; ++pair) {
        if (next[pair] >= 0 && !visited[pair]) walk(pair);
    }
    return count;
}

void CountSequences(AdversarialInput& input) {
    std::vector<bool> seen(1u << 24);
    std::size_t run = 0;
    const Bytes& data = input.data;
    input.sequences = data.size() < 3 ? 0 : data.size() - 2;
    for (std::size_t i = 0; i < input.sequences; ++i) {
        if (ClassicBucket(data[i], data[i + 1], data[i + 2]) != input.bucket) {
            run = 0;
            continue;
        }
        ++input.inBucket;
        input.longestRun = std::max(input.longestRun, ++run);
        const std::uint32_t key = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        if (!seen[key]) {
            seen[key] = true;
            ++input.distinct;
        }
    }
}

} // namespace

Bytes MakePeCorpus(std::size_t size) {
    std::vector<fs::path> images;
    for (const fs::path& path : ListFiles("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows")) {
        if (HasExtension(path, {".dll", ".exe"})) images.push_back(path);
    }
    Bytes out;
    AppendFiles(out, images, size, false);
    return out;
}

Bytes MakeTextCorpus(std::size_t size) {
    std::vector<fs::path> docs;
    for (const fs::path& path : ListFiles("/usr/share/doc")) {
        if (!HasExtension(path, {".gz", ".bz2", ".xz", ".zst", ".zip"})) docs.push_back(path);
    }
    Bytes out;
    AppendFiles(out, ListFiles("/usr/include"), size / 2, true);
    AppendFiles(out, docs, size, true);
    return out;
}

Bytes MakeZeroCorpus(std::size_t size) { return Bytes(size, 0); }

Bytes MakeRandomCorpus(std::size_t size) {
    std::mt19937_64 random(20240601);
    Bytes out(size);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t word = random();
        std::memcpy(out.data() + i, &word, std::min<std::size_t>(8, size - i));
    }
    return out;
}

AdversarialInput MakeAdversarialInput(std::size_t size) {
    // Every in-bucket sequence is one step along a path or cycle of the
    // bucket's pairs (CutIntoPieces), and those are short: the longest paths
    // have a few steps, the only cycles are the fixed points "b b b". No
    // bucket offers a long walk, so the input takes the bucket with the most
    // sequences per piece and strings all its pieces together, every joint
    // costing one or two sequences outside the bucket.
    AdversarialInput input;
    double best = -1;
    for (std::uint32_t bucket = 0; bucket < kClassicBuckets; ++bucket) {
        const std::vector<int> next = Successors(bucket);
        const auto steps = static_cast<double>(std::count_if(next.begin(), next.end(), [](int b) { return b >= 0; }));
        const double share = steps / (steps + static_cast<double>(CutIntoPieces(next, nullptr)));
        if (share > best) {
            best = share;
            input.bucket = bucket;
        }
    }
    std::vector<Bytes> pieces;
    CutIntoPieces(Successors(input.bucket), &pieces);

    // Rounds of all pieces, each round in a new order so that no stretch
    // repeats and an encoder finds only short matches. A piece that starts
    // with the byte the input ends with overlaps it, which makes the joint
    // cost one sequence instead of two; such pieces go first.
    std::mt19937_64 random(7);
    std::vector<std::size_t> order(pieces.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    Bytes& data = input.data;
    data.reserve(size + 16);
    while (data.size() < size) {
        std::shuffle(order.begin(), order.end(), random);
        std::array<std::vector<std::size_t>, 256> byFirstByte;
        for (auto it = order.rbegin(); it != order.rend(); ++it) byFirstByte[pieces[*it][0]].push_back(*it);
        std::vector<bool> used(pieces.size());
        std::size_t cursor = 0;
        for (std::size_t n = 0; n < pieces.size(); ++n) {
            std::size_t chosen = pieces.size(), skip = 0;
            if (!data.empty()) {
                std::vector<std::size_t>& candidates = byFirstByte[data.back()];
                while (!candidates.empty() && used[candidates.back()]) candidates.pop_back();
                if (!candidates.empty()) {
                    chosen = candidates.back();
                    skip = 1;
                }
            }
            if (chosen == pieces.size()) {
                while (used[order[cursor]]) ++cursor;
                chosen = order[cursor];
            }
            used[chosen] = true;
            data.insert(data.end(), pieces[chosen].begin() + static_cast<std::ptrdiff_t>(skip), pieces[chosen].end());
        }
    }
    data.resize(size);
    CountSequences(input);
    return input;
}
