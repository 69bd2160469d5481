// Writing a "!ZQM" compressed file (zqm_format.h) from any byte source to any
// sink, one 64 KiB piece and one chunk in memory at a time: files on disk, and
// data blocks written straight into an installer.
#pragma once

#include "compress/deflate_codec.h"
#include "compress/zqm_format.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// The encoder that writes the chunks: the codec's own, whose output is fixed
// by exact rules and which every archive built so far was written with, or
// DeflateBestEncoder, slower and smaller. The codec decodes both.
enum class ZqmEncoder : std::uint8_t { Deflate, DeflateBest };

// read fills up to count bytes and returns how many it gave, fewer only at
// the end of the source (0 there); write receives the file's bytes in order:
// the header, then each chunk's length field and payload. codec must be at the
// start of a stream (new, or Reset). False only when the codec refuses a
// piece; sizes then count what was written before it. With
// ZqmEncoder::DeflateBest the codec's encoding half is not used.
bool CompressZqm(const std::function<std::size_t(void*, std::size_t)>& read,
                 const std::function<void(const std::uint8_t*, std::size_t)>& write, DeflateCodec& codec,
                 ZqmSizes& sizes, ZqmEncoder encoder = ZqmEncoder::Deflate);
