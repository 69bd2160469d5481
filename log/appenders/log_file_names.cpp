#include "log/appenders/log_file_names.h"

#include "common/path.h"

namespace {

constexpr std::size_t kMaxBaseName = 255;

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

} // namespace

std::string LogFileNameWithSuffix(const std::string& file, std::string_view suffix) {
    std::string baseName = GetPathPart(file, kPathBaseName);
    baseName += suffix;
    if (baseName.size() > kMaxBaseName) {
        std::size_t cut = kMaxBaseName;
        while (cut > 0 && IsUtf8Continuation(baseName[cut])) --cut;
        baseName.resize(cut);
    }
    return ReplaceBaseName(file, baseName);
}
