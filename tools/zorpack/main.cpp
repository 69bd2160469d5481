#include "common/interrupt_cleanup.h"
#include "tools/zorpack/console.h"
#include "tools/zorpack/embedded_extractor.h"
#include "tools/zorpack/zorpack.h"

#include <ostream>

int main(int argc, char** argv) {
    // An interrupted build removes its unfinished installer.
    RemoveFilesOnInterrupt();
    zorpack::RegisterEmbeddedExtractor();
    int code;
    {
        zorpack::LineStreamBuf outBuffer(StandardStream::Output);
        zorpack::LineStreamBuf errBuffer(StandardStream::Error);
        std::ostream out(&outBuffer), err(&errBuffer);
        zorpack::Console console{out, err, IsTerminal(StandardStream::Output)};
        code = zorpack::Run(std::vector<std::string>(argv + 1, argv + argc), console);
    }
    return code;
}
