// Reads arbitrary bytes as an uninstaller's record, twice: as a whole file,
// and as a record body behind a trailer whose digest matches, so that the
// item parser sees every input instead of only the few that pass the digest.
// A record that is accepted must be one the builder would write, and must
// read back the same once written again.
#include "common/little_endian.h"
#include "compress/md5_digest.h"
#include "uninstall/uninstall_record.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(const std::string& bytes) {
    UninstallRecord record;
    const std::string problem =
        ParseUninstallRecord(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), record);
    if (!problem.empty()) {
        if (!(record == UninstallRecord())) std::abort(); // a refused record leaves nothing behind
        return;
    }
    if (!UninstallRecordProblem(record).empty()) std::abort();
    const std::string again = EncodeUninstallRecord(record);
    UninstallRecord reread;
    if (!ParseUninstallRecord(reinterpret_cast<const std::uint8_t*>(again.data()), again.size(), reread).empty() ||
        !(reread == record))
        std::abort();
}

std::string Field32(std::uint32_t value) {
    std::uint8_t bytes[4];
    StoreLittleEndian32(value, bytes);
    return std::string(reinterpret_cast<const char*>(bytes), 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    Check(input);

    std::uint8_t digest[kMd5DigestSize];
    Md5Digest md5;
    md5.Update(data, size);
    md5.Final(digest);
    Check("MZ" + input + std::string(uninstall_format::kMagic, sizeof uninstall_format::kMagic) +
          Field32(uninstall_format::kVersion) + Field32(static_cast<std::uint32_t>(size)) +
          std::string(reinterpret_cast<const char*>(digest), sizeof digest));
    return 0;
}
