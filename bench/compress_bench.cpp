// Throughput of the compression code next to zlib and OpenSSL, measured in the
// same run on the same inputs and the same 64 KiB pieces, followed by a plain
// summary table. Timings are real time; nothing here judges them.
#include "bench/corpus.h"
#include "compress/deflate_codec.h"
#include "compress/md5_digest.h"
#include "compress/zqm_format.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::size_t kPiece = zqm::kPieceSize;
constexpr std::size_t kMiB = 1u << 20;
constexpr std::size_t kFailed = std::numeric_limits<std::size_t>::max();
constexpr int kZlibLevel = 6;

struct CorpusInfo {
    const char* name;
    Bytes (*make)(std::size_t);
    std::size_t size;
};
const CorpusInfo kCorpora[] = {
    {"pe", MakePeCorpus, 40 * kMiB},
    {"text", MakeTextCorpus, 24 * kMiB},
    {"zeros", MakeZeroCorpus, 64 * kMiB},
    {"random", MakeRandomCorpus, 64 * kMiB},
};
constexpr std::size_t kAdversarialSize = 8 * kMiB;

// ---- The codecs, run over a whole input --------------------------------------

// A compressed stream as its chunks back to back; chunk i ends at ends[i].
struct Stream {
    Bytes bytes;
    std::vector<std::size_t> ends;
};

template <class Piece>
void ForEachPiece(const Bytes& input, Piece piece) {
    for (std::size_t at = 0; at < input.size(); at += kPiece)
        piece(input.data() + at, std::min(kPiece, input.size() - at));
}

// Each run returns the bytes it produced, or kFailed. Encoders append their
// chunks to sink when given; decoders compare with expected when given.
std::size_t EncodeOurs(const Bytes& input, Stream* sink) {
    DeflateCodec codec;
    Bytes chunk;
    std::size_t total = 0;
    ForEachPiece(input, [&](const std::uint8_t* piece, std::size_t length) {
        if (total == kFailed || !codec.EncodeChunk(piece, length, chunk)) {
            total = kFailed;
            return;
        }
        total += chunk.size();
        if (sink) {
            sink->bytes.insert(sink->bytes.end(), chunk.begin(), chunk.end());
            sink->ends.push_back(sink->bytes.size());
        }
    });
    return total;
}

std::size_t DeflateZlib(const Bytes& input, Stream* sink) {
    z_stream z{};
    if (deflateInit(&z, kZlibLevel) != Z_OK) return kFailed;
    Bytes out(deflateBound(&z, kPiece) + 64);
    std::size_t total = 0;
    ForEachPiece(input, [&](const std::uint8_t* piece, std::size_t length) {
        z.next_in = piece;
        z.avail_in = static_cast<uInt>(length);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            // Z_BUF_ERROR only says that a call had nothing left to do.
            const int status = total == kFailed ? Z_STREAM_ERROR : deflate(&z, Z_SYNC_FLUSH);
            if (status != Z_OK && status != Z_BUF_ERROR) {
                total = kFailed;
                return;
            }
            const std::size_t produced = out.size() - z.avail_out;
            total += produced;
            if (sink) sink->bytes.insert(sink->bytes.end(), out.begin(), out.begin() + produced);
        } while (z.avail_out == 0);
        if (sink) sink->ends.push_back(sink->bytes.size());
    });
    deflateEnd(&z);
    return total;
}

bool Matches(const Bytes* expected, std::size_t at, const std::uint8_t* data, std::size_t length) {
    if (!expected || length == 0) return true;
    return at + length <= expected->size() && std::memcmp(expected->data() + at, data, length) == 0;
}

std::size_t DecodeOurs(const Stream& stream, const Bytes* expected) {
    DeflateCodec codec;
    Bytes decoded;
    std::size_t total = 0, begin = 0;
    for (const std::size_t end : stream.ends) {
        if (!codec.DecodeChunk(stream.bytes.data() + begin, end - begin, decoded) ||
            !Matches(expected, total, decoded.data(), decoded.size()))
            return kFailed;
        total += decoded.size();
        begin = end;
    }
    return total;
}

// Neither stream ever ends, so Z_STREAM_END counts as an error too.
std::size_t InflateZlib(const Stream& stream, const Bytes* expected) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return kFailed;
    Bytes out(4 * kPiece);
    std::size_t total = 0, begin = 0;
    for (const std::size_t end : stream.ends) {
        z.next_in = stream.bytes.data() + begin;
        z.avail_in = static_cast<uInt>(end - begin);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            const int status = inflate(&z, Z_SYNC_FLUSH);
            const std::size_t produced = out.size() - z.avail_out;
            if ((status != Z_OK && status != Z_BUF_ERROR) || !Matches(expected, total, out.data(), produced)) {
                inflateEnd(&z);
                return kFailed;
            }
            total += produced;
        } while (z.avail_out == 0);
        begin = end;
    }
    inflateEnd(&z);
    return total;
}

using Digest = std::array<std::uint8_t, kMd5DigestSize>;

Digest Md5Ours(const Bytes& input) {
    Md5Digest md5;
    ForEachPiece(input, [&](const std::uint8_t* piece, std::size_t length) { md5.Update(piece, length); });
    Digest digest;
    md5.Final(digest.data());
    return digest;
}

Digest Md5OpenSsl(const Bytes& input) {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_md5(), nullptr);
    ForEachPiece(input,
                 [&](const std::uint8_t* piece, std::size_t length) { EVP_DigestUpdate(context, piece, length); });
    Digest digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context, digest.data(), &length);
    EVP_MD_CTX_free(context);
    return digest;
}

// ---- Inputs --------------------------------------------------------------------

// One corpus in memory at a time: the benchmarks of a corpus run together.
// Its streams are made on first request and checked once, outside any timing:
// ours and zlib's inflate must decode our stream, and ours zlib's, back to
// the input.
struct Loaded {
    int index = -1;
    Bytes data;
    bool haveStreams = false;
    Stream ours, zlib;
    std::string error;
};

struct Sizes {
    std::size_t input = 0, ours = 0, zlib = 0;
};
std::map<std::string, Sizes> corpusSizes;

Loaded& Load(int index, bool withStreams) {
    static Loaded loaded;
    if (loaded.index != index) {
        loaded = Loaded{};
        loaded.index = index;
        loaded.data = kCorpora[index].make(kCorpora[index].size);
        if (loaded.data.empty()) loaded.error = "corpus is empty on this machine";
    }
    if (withStreams && !loaded.haveStreams && loaded.error.empty()) {
        loaded.haveStreams = true;
        const Bytes& data = loaded.data;
        if (EncodeOurs(data, &loaded.ours) == kFailed || DeflateZlib(data, &loaded.zlib) == kFailed)
            loaded.error = "encoding failed";
        else if (DecodeOurs(loaded.ours, &data) != data.size())
            loaded.error = "our decoder does not restore our stream";
        else if (InflateZlib(loaded.ours, &data) != data.size())
            loaded.error = "zlib does not restore our stream";
        else if (DecodeOurs(loaded.zlib, &data) != data.size())
            loaded.error = "our decoder does not restore zlib's stream";
        corpusSizes[kCorpora[index].name] = {data.size(), loaded.ours.bytes.size(), loaded.zlib.bytes.size()};
    }
    return loaded;
}

const AdversarialInput& Adversarial() {
    static const AdversarialInput input = MakeAdversarialInput(kAdversarialSize);
    return input;
}

// ---- Benchmarks ----------------------------------------------------------------

// Input bytes one iteration of each benchmark covers, for the summary.
std::map<std::string, double> bytesPerIteration;

// Registers a benchmark whose run returns the bytes one iteration covers, or
// an error text.
void Add(const std::string& name, int iterations, std::function<std::string(benchmark::State&, std::size_t&)> run) {
    benchmark::RegisterBenchmark(name.c_str(),
                                 [name, run](benchmark::State& state) {
                                     std::size_t bytes = 0;
                                     const std::string error = run(state, bytes);
                                     if (!error.empty()) {
                                         if (!state.error_occurred()) state.SkipWithError(error.c_str());
                                         return;
                                     }
                                     bytesPerIteration[name] = static_cast<double>(bytes);
                                     state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
                                 })
        ->Iterations(iterations)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

// Times run once per iteration; empty when every run produced `expected`
// bytes (any number but kFailed when expected is kFailed).
template <class Run>
std::string Loop(benchmark::State& state, std::size_t expected, Run run) {
    std::size_t produced = 0;
    for (auto _ : state) {
        produced = run();
        benchmark::DoNotOptimize(produced);
        if (produced == kFailed || (expected != kFailed && produced != expected)) {
            state.SkipWithError("wrong output");
            return "wrong output";
        }
    }
    return {};
}

void RegisterCorpus(int index) {
    const std::string corpus = kCorpora[index].name;
    // Iteration counts keep the whole run within a few minutes on two cores.
    constexpr int kEncodeIterations = 3, kDecodeIterations = 10, kMd5Iterations = 10;

    auto encode = [index](auto codec) {
        return [index, codec](benchmark::State& state, std::size_t& bytes) {
            Loaded& loaded = Load(index, false);
            if (!loaded.error.empty()) return loaded.error;
            bytes = loaded.data.size();
            return Loop(state, kFailed, [&] { return codec(loaded.data, nullptr); });
        };
    };
    Add(corpus + "/encode/ours", kEncodeIterations, encode(EncodeOurs));
    Add(corpus + "/encode/zlib", kEncodeIterations, encode(DeflateZlib));

    auto decode = [index](auto codec, Stream Loaded::*stream) {
        return [index, codec, stream](benchmark::State& state, std::size_t& bytes) {
            Loaded& loaded = Load(index, true);
            if (!loaded.error.empty()) return loaded.error;
            bytes = loaded.data.size();
            return Loop(state, bytes, [&] { return codec(loaded.*stream, nullptr); });
        };
    };
    Add(corpus + "/decode-ours-stream/ours", kDecodeIterations, decode(DecodeOurs, &Loaded::ours));
    Add(corpus + "/decode-ours-stream/zlib", kDecodeIterations, decode(InflateZlib, &Loaded::ours));
    Add(corpus + "/decode-zlib-stream/ours", kDecodeIterations, decode(DecodeOurs, &Loaded::zlib));
    Add(corpus + "/decode-zlib-stream/zlib", kDecodeIterations, decode(InflateZlib, &Loaded::zlib));

    Add(corpus + "/md5/ours", kMd5Iterations, [index](benchmark::State& state, std::size_t& bytes) {
        Loaded& loaded = Load(index, false);
        if (!loaded.error.empty()) return loaded.error;
        bytes = loaded.data.size();
        Digest digest{};
        for (auto _ : state) benchmark::DoNotOptimize(digest = Md5Ours(loaded.data));
        return std::string{};
    });
    Add(corpus + "/md5/openssl", kMd5Iterations, [index](benchmark::State& state, std::size_t& bytes) {
        Loaded& loaded = Load(index, false);
        if (!loaded.error.empty()) return loaded.error;
        bytes = loaded.data.size();
        Digest digest{};
        for (auto _ : state) benchmark::DoNotOptimize(digest = Md5OpenSsl(loaded.data));
        return digest == Md5Ours(loaded.data) ? std::string{} : std::string("digests differ");
    });
}

void RegisterAdversarial() {
    auto encode = [](auto codec) {
        return [codec](benchmark::State& state, std::size_t& bytes) {
            const Bytes& data = Adversarial().data;
            bytes = data.size();
            return Loop(state, kFailed, [&] { return codec(data, nullptr); });
        };
    };
    Add("adversarial/encode/ours", 5, encode(EncodeOurs));
    Add("adversarial/encode/zlib", 5, encode(DeflateZlib));
}

// ---- Summary -------------------------------------------------------------------

// Prints the usual console output and keeps every run's real time per iteration.
class Collector : public benchmark::ConsoleReporter {
public:
    Collector() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            seconds_[run.run_name.function_name] = run.real_accumulated_time / static_cast<double>(run.iterations);
        }
    }

    // Millions of input bytes per second, NaN when the benchmark did not run.
    double MegabytesPerSecond(const std::string& name) const {
        const auto time = seconds_.find(name);
        const auto bytes = bytesPerIteration.find(name);
        if (time == seconds_.end() || bytes == bytesPerIteration.end() || time->second <= 0) return NAN;
        return bytes->second / time->second / 1e6;
    }

private:
    std::map<std::string, double> seconds_;
};

void PrintSummary(const Collector& results) {
    struct Operation {
        const char* key;
        const char* label;
        const char* peerKey;
        const char* peer;
    };
    const Operation operations[] = {
        {"encode", "encode", "zlib", "zlib deflate level 6, Z_SYNC_FLUSH after every piece"},
        {"decode-ours-stream", "decode our stream", "zlib", "zlib inflate of the same chunks"},
        {"decode-zlib-stream", "decode zlib-6 stream", "zlib", "zlib inflating its own stream"},
        {"md5", "md5", "openssl", "OpenSSL EVP_md5"},
    };
    std::printf(
        "\nSummary (MB = 10^6 bytes of uncompressed data, per second of real time, mean of the iterations)\n\n");
    std::printf("%-7s | %-20s | %10s | %10s | %s\n", "corpus", "operation", "ours MB/s", "peer MB/s",
                "ratio (ours/peer)");
    std::printf("--------+----------------------+------------+------------+------------------\n");
    // Our encoder's mean cost per byte over the corpora, the yardstick for the crafted input.
    double encodeNanosecondsPerByte = 0;
    int corporaEncoded = 0;
    for (const CorpusInfo& corpus : kCorpora) {
        for (const Operation& operation : operations) {
            const std::string prefix = std::string(corpus.name) + "/" + operation.key + "/";
            const double ours = results.MegabytesPerSecond(prefix + "ours");
            const double peer = results.MegabytesPerSecond(prefix + operation.peerKey);
            if (std::isnan(ours) && std::isnan(peer)) continue;
            std::printf("%-7s | %-20s | %10.1f | %10.1f | %.2f\n", corpus.name, operation.label, ours, peer,
                        ours / peer);
            if (operation.key == std::string_view("encode") && !std::isnan(ours)) {
                encodeNanosecondsPerByte += 1e3 / ours;
                ++corporaEncoded;
            }
        }
    }
    std::printf("\nours: one DeflateCodec or Md5Digest fed 65536-byte pieces in order; peers:\n");
    for (const Operation& operation : operations) std::printf("  %-20s  %s\n", operation.label, operation.peer);

    if (!corpusSizes.empty()) {
        std::printf("\n%-7s | %12s | %12s | %12s | %s\n", "corpus", "input bytes", "ours bytes", "zlib-6 bytes",
                    "ours/zlib");
        std::printf("--------+--------------+--------------+--------------+----------\n");
    }
    for (const CorpusInfo& corpus : kCorpora) {
        const auto found = corpusSizes.find(corpus.name);
        if (found == corpusSizes.end()) continue;
        const Sizes& sizes = found->second;
        std::printf("%-7s | %12zu | %12zu | %12zu | %.3f\n", corpus.name, sizes.input, sizes.ours, sizes.zlib,
                    static_cast<double>(sizes.ours) / static_cast<double>(sizes.zlib));
    }

    const double ours = 1e3 / results.MegabytesPerSecond("adversarial/encode/ours");
    const double zlib = 1e3 / results.MegabytesPerSecond("adversarial/encode/zlib");
    if (std::isnan(ours)) return;
    const AdversarialInput& crafted = Adversarial();
    std::printf("\nadversarial input: %zu bytes, %.1f%% of its 3-byte sequences in classic bucket %u "
                "(%zu distinct, runs of up to %zu)\n",
                crafted.data.size(),
                100.0 * static_cast<double>(crafted.inBucket) / static_cast<double>(crafted.sequences), crafted.bucket,
                crafted.distinct, crafted.longestRun);
    std::printf("adversarial encode: ours %.2f ns/byte", ours);
    if (corporaEncoded > 0) {
        const double mean = encodeNanosecondsPerByte / corporaEncoded;
        std::printf(", %.2fx our mean of %.2f ns/byte over %d corpora (goal <= 3x)", ours / mean, mean, corporaEncoded);
    }
    std::printf("; zlib level 6 %.2f ns/byte\n", zlib);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    for (int index = 0; index < static_cast<int>(std::size(kCorpora)); ++index) RegisterCorpus(index);
    RegisterAdversarial();
    Collector results;
    benchmark::RunSpecifiedBenchmarks(&results);
    benchmark::Shutdown();
    PrintSummary(results);
    return 0;
}
