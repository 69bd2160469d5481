// The codec of "!ZQM" files: one zlib-format deflate stream, never finished,
// compressed and decompressed one chunk per call. Both directions keep their
// state between calls, so one codec serves one stream at a time (Reset starts
// the next); it is used by one thread.
#pragma once

#include "compress/deflate_decoder.h"
#include "compress/deflate_encoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class DeflateCodec {
public:
    DeflateCodec() = default;
    virtual ~DeflateCodec() = default;
    DeflateCodec(const DeflateCodec&) = delete;
    DeflateCodec& operator=(const DeflateCodec&) = delete;

    // Compresses input as the next part of the stream into output (replacing
    // its content): whole bytes only, fixed-Huffman blocks, the zlib header
    // before the first call's data. False for an input over 1 GiB.
    bool EncodeChunk(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output) {
        return encoder_.Encode(input, length, output);
    }

    // Decodes as much of the stream as the bytes received so far allow into
    // output (replacing its content); empty when no byte could be decoded.
    // False for a malformed stream, and ever after.
    bool DecodeChunk(const std::uint8_t* input, std::size_t length, std::vector<std::uint8_t>& output) {
        return decoder_.Decode(input, length, output);
    }

    // Starts a new stream in both directions, keeping the tables: one codec
    // may then serve many streams, one after the other.
    void Reset() {
        encoder_.Reset();
        decoder_.Reset();
    }

private:
    DeflateEncoder encoder_;
    DeflateDecoder decoder_;
};
