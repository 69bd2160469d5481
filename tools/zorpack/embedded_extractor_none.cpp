// Programs whose image needs no registration: zorpack.exe, which carries the
// extractor as a resource of its own (or none, and then needs --stub), and a
// POSIX zorpack built without an image.
#include "tools/zorpack/embedded_extractor.h"

namespace zorpack {

void RegisterEmbeddedExtractor() {}

} // namespace zorpack
