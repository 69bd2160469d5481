// Signing in the build (--sign-command): the publisher's shell command signs
// a file zorpack wrote into a file zorpack then checks and uses. Each file is
// temporary, beside the installer, until the build is complete, so a failing
// command, a refused result or an interrupt leaves none of them behind and an
// installer already at the output as it was.
#pragma once

#include "common/temporary_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zorpack {

// command with every {in} replaced by input and every {out} by output, each
// quoted for the shell as one word.
std::string ExpandSignCommand(const std::string& command, const std::string& input, const std::string& output);

// Runs command on the file input into signedFile, a name reserved here in
// folder (signing tools refuse to write over a file). Empty when the command
// ended with exit code 0 and left a file there; otherwise why not, as a
// sentence naming what, the file being signed.
std::string SignFile(const std::string& command, const std::string& input, const std::string& what,
                     const std::string& folder, TemporaryFile& signedFile);

// Makes the uninstaller image an installer carries: image, the extractor as
// the installer has it (its icon and version information included), and the
// carried uninstaller's marker after it, made a clean unsigned image
// (pe_image.h PrepareUnsignedExecutable), signed by command into carried in
// folder. Empty on success; otherwise why not. The signed file must still be
// such an image: a command that wrote anything else is refused.
std::string MakeCarriedUninstaller(const std::string& command, const std::vector<std::uint8_t>& image,
                                   const std::string& folder, TemporaryFile& carried);

} // namespace zorpack
