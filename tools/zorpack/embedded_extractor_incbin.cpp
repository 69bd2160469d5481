// The extractor images are assembled into read-only data at build time from
// the files that ZOR_EMBEDDED_EXTRACTOR and (when the per-user stub was
// built) ZOR_EMBEDDED_PER_USER_EXTRACTOR name; the build recompiles this file
// whenever one of them changes.
#include "tools/zorpack/embedded_extractor.h"

#include "archive/extractor_resource.h"

#include <cstdint>

// Assembles the bytes of the file path between the symbols name_begin and
// name_end in read-only data.
#define ZOR_INCBIN(name, path)                                                                                         \
    asm(".pushsection .rodata\n"                                                                                       \
        ".balign 16\n"                                                                                                 \
        ".globl " #name "_begin\n"                                                                                     \
        ".hidden " #name "_begin\n" #name "_begin:\n"                                                                  \
        ".incbin \"" path "\"\n"                                                                                       \
        ".globl " #name "_end\n"                                                                                       \
        ".hidden " #name "_end\n" #name "_end:\n"                                                                      \
        ".popsection\n");                                                                                              \
    extern "C" const std::uint8_t name##_begin[];                                                                      \
    extern "C" const std::uint8_t name##_end[]

ZOR_INCBIN(zorpack_extractor, ZOR_EMBEDDED_EXTRACTOR);
#ifdef ZOR_EMBEDDED_PER_USER_EXTRACTOR
ZOR_INCBIN(zorpack_per_user_extractor, ZOR_EMBEDDED_PER_USER_EXTRACTOR);
#endif

namespace zorpack {

void RegisterEmbeddedExtractor() {
    RegisterExtractorResource(kExtractorResourceId, zorpack_extractor_begin,
                              static_cast<std::size_t>(zorpack_extractor_end - zorpack_extractor_begin));
#ifdef ZOR_EMBEDDED_PER_USER_EXTRACTOR
    RegisterExtractorResource(
        kPerUserExtractorResourceId, zorpack_per_user_extractor_begin,
        static_cast<std::size_t>(zorpack_per_user_extractor_end - zorpack_per_user_extractor_begin));
#endif
}

} // namespace zorpack
