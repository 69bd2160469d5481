#include "archive/installer_archive.h"

#include "common/error_texts.h"
#include "common/file.h"

#include <memory>
#include <vector>

bool InstallerArchive::ComputeFileMD5(const std::string& path, std::uint8_t digest[kMd5DigestSize]) {
    ReportFormat("Computing MD5 sum for file '%s'...", path.c_str());
    Md5Digest md5;
    CFile file;
    if (!file.OpenForReading(path, FileShare::DenyNone)) {
        ReportFormat("Unable to open file '%s' (%s)", path.c_str(), LastErrorText());
        return false;
    }
    const auto piece = std::make_unique_for_overwrite<std::uint8_t[]>(archive_format::kCopyPiece);
    while (const std::size_t got = file.Read(piece.get(), archive_format::kCopyPiece)) md5.Update(piece.get(), got);
    md5.Final(digest);
    return true;
}
