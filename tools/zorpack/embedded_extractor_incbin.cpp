// The extractor image is assembled into read-only data at build time from the
// file that ZOR_EMBEDDED_EXTRACTOR names; the build recompiles this file
// whenever that file changes.
#include "tools/zorpack/embedded_extractor.h"

#include "archive/extractor_resource.h"

#include <cstdint>

asm(".pushsection .rodata\n"
    ".balign 16\n"
    ".globl zorpack_extractor_begin\n"
    ".hidden zorpack_extractor_begin\n"
    "zorpack_extractor_begin:\n"
    ".incbin \"" ZOR_EMBEDDED_EXTRACTOR "\"\n"
    ".globl zorpack_extractor_end\n"
    ".hidden zorpack_extractor_end\n"
    "zorpack_extractor_end:\n"
    ".popsection\n");

extern "C" const std::uint8_t zorpack_extractor_begin[];
extern "C" const std::uint8_t zorpack_extractor_end[];

namespace zorpack {

void RegisterEmbeddedExtractor() {
    RegisterExtractorResource(kExtractorResourceId, zorpack_extractor_begin,
                              static_cast<std::size_t>(zorpack_extractor_end - zorpack_extractor_begin));
}

} // namespace zorpack
