#include "tools/zorpack/signing.h"

#include "archive/pe_image.h"
#include "common/error_texts.h"
#include "common/file.h"
#include "common/file_system.h"
#include "common/shell_command.h"
#include "tools/zorpack/command_line.h"
#include "uninstall/uninstall_record.h"
#include "uninstall/uninstaller_file.h"

#include <cstring>

namespace zorpack {

std::string ExpandSignCommand(const std::string& command, const std::string& input, const std::string& output) {
    const struct {
        const char* token;
        std::string word;
    } fields[] = {{kSignInput, QuoteForShell(input)}, {kSignOutput, QuoteForShell(output)}};
    std::string expanded;
    for (std::size_t at = 0; at < command.size();) {
        bool replaced = false;
        for (const auto& field : fields) {
            if (command.compare(at, std::strlen(field.token), field.token) != 0) continue;
            expanded += field.word;
            at += std::strlen(field.token);
            replaced = true;
            break;
        }
        if (!replaced) expanded += command[at++];
    }
    return expanded;
}

std::string SignFile(const std::string& command, const std::string& input, const std::string& what,
                     const std::string& folder, TemporaryFile& signedFile) {
    if (!signedFile.ReserveName(folder, "signed."))
        return "cannot make a temporary file in '" + folder + "' (" + LastErrorText() + ")";
    int exitCode = 0;
    if (!RunShellCommand(ExpandSignCommand(command, input, signedFile.Path()), exitCode))
        return "cannot run the --sign-command for " + what + " (" + LastErrorText() + ")";
    if (exitCode != 0)
        return "signing " + what + " failed: the --sign-command ended with exit code " + std::to_string(exitCode);
    FileDetails details;
    if (!GetFileDetails(signedFile.Path(), details) || details.isDirectory || details.size == 0)
        return "signing " + what + " failed: the --sign-command wrote no file {out}";
    return {};
}

std::string MakeCarriedUninstaller(const std::string& command, const std::vector<std::uint8_t>& image,
                                   const std::string& folder, TemporaryFile& carried) {
    TemporaryFile unsignedImage;
    if (!unsignedImage.Create(folder, "uninstall."))
        return "cannot make a temporary file in '" + folder + "' (" + LastErrorText() + ")";
    // An image taken from a signed file would still name its certificate
    // table; the checksum then covers the marker too.
    std::string bytes(image.begin(), image.end());
    bytes += EncodeRecordBesideMarker();
    PrepareUnsignedExecutable(bytes);
    unsignedImage.File().Write(bytes.data(), bytes.size());
    unsignedImage.File().Close();
    if (std::string problem = SignFile(command, unsignedImage.Path(), "the uninstaller", folder, carried);
        !problem.empty())
        return problem;
    if (!IsCarriedUninstallerFile(carried.Path()))
        return "signing the uninstaller failed: what the --sign-command wrote is not the uninstaller it was given, "
               "signed";
    return {};
}

} // namespace zorpack
