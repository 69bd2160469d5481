#include "tools/zorpack/embedded_extractor.h"
#include "tools/zorpack/terminal.h"
#include "tools/zorpack/zorpack.h"

#include <iostream>

int main(int argc, char** argv) {
    zorpack::RegisterEmbeddedExtractor();
    zorpack::Console console{std::cout, std::cerr, zorpack::StdoutIsTerminal()};
    return zorpack::Run(std::vector<std::string>(argv + 1, argv + argc), console);
}
