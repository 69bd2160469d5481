#include "tools/zorpack/extractor_image.h"

#include "archive/archive_format.h"
#include "archive/installer_archive.h"
#include "archive/pe_image.h"
#include "common/error_texts.h"
#include "common/string_format.h"

#include <cstring>

namespace zorpack {

namespace {

constexpr char kPeSignature[4] = {'P', 'E', '\0', '\0'};

bool IsPeExecutable(const std::vector<std::uint8_t>& image) {
    std::uint32_t peOffset = 0;
    return ReadPeOffset(image.data(), image.size(), peOffset) && peOffset <= image.size() - sizeof kPeSignature &&
           std::memcmp(image.data() + peOffset, kPeSignature, sizeof kPeSignature) == 0;
}

} // namespace

bool ReadExtractorImage(const std::string& path, std::vector<std::uint8_t>& image, FileIdentity& identity,
                        std::string& error) {
    const char* name = path.c_str();
    CFile file;
    if (!file.Open(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::DenyWrite) ||
        !file.GetIdentity(identity)) {
        error = StringFormat("cannot read the extractor image '%s': %s", name, LastErrorText());
        return false;
    }
    if (!file.IsRegularFile()) {
        error = StringFormat("the extractor image '%s' is not a plain file", name);
        return false;
    }
    const std::uint64_t length = file.GetLength();
    if (length >= archive_format::kMaxArchiveSize) {
        error = StringFormat("the extractor image '%s' is too large for an installer", name);
        return false;
    }
    image.resize(static_cast<std::size_t>(length));
    image.resize(file.Read(image.data(), image.size()));
    if (!IsPeExecutable(image)) {
        error = StringFormat("the extractor image '%s' is not a Windows executable (no MZ and PE headers)", name);
        return false;
    }
    // A signed installer carries its archive before the certificate table.
    if (CarriesInstallerArchive(image.data(), image.size())) {
        error = StringFormat("the extractor image '%s' already carries an installation archive; name the bare "
                             "installer stub (zorsetup.exe)",
                             name);
        return false;
    }
    return true;
}

} // namespace zorpack
