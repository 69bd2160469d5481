#include "archive/install_folder.h"

#include "archive/entry_name.h"
#include "common/string_format.h"
#include "common/utf8.h"

namespace {

enum class Token { ProgramFiles, LocalAppData, Publisher, AppName };

constexpr struct {
    std::string_view text;
    Token token;
} kTokens[] = {
    {"{ProgramFiles}", Token::ProgramFiles},
    {"{LocalAppData}", Token::LocalAppData},
    {"{Publisher}", Token::Publisher},
    {"{AppName}", Token::AppName},
};

// Walks text, calling literal(piece) for plain text and token(t) for each
// token; returns why text is not a template, or empty.
template <typename Literal, typename Found>
std::string Walk(std::string_view text, Literal literal, Found found) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t brace = text.find_first_of("{}", at);
        if (brace == std::string_view::npos) {
            literal(text.substr(at));
            break;
        }
        literal(text.substr(at, brace - at));
        if (text[brace] == '}') return StringFormat("has a '}' at byte %zu that closes no token", brace);
        const std::size_t close = text.find_first_of("{}", brace + 1);
        if (close == std::string_view::npos || text[close] != '}')
            return StringFormat("has a '{' at byte %zu that is not closed", brace);
        const std::string_view name = text.substr(brace, close + 1 - brace);
        bool known = false;
        for (const auto& candidate : kTokens) {
            if (candidate.text == name) {
                found(candidate.token);
                known = true;
            }
        }
        if (!known)
            return "has the unknown token '" + std::string(name) +
                   "' (known: {ProgramFiles}, {LocalAppData}, {Publisher}, {AppName})";
        at = close + 1;
    }
    return {};
}

} // namespace

std::string PublisherNameProblem(std::string_view name) { return EntryNameProblem(name); }

std::string InstallDirTemplateProblem(std::string_view text) {
    if (text.empty()) return "is empty";
    if (!IsValidUtf8(text)) return "is not valid UTF-8";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return StringFormat("contains the control character 0x%02X", byte);
    }
    return Walk(
        text, [](std::string_view) {}, [](Token) {});
}

std::string ExpandInstallDirTemplate(std::string_view text, const InstallDirValues& values) {
    std::string expanded;
    Walk(
        text, [&](std::string_view piece) { expanded += piece; },
        [&](Token token) {
            switch (token) {
            case Token::ProgramFiles:
                expanded += values.programFiles;
                break;
            case Token::LocalAppData:
                expanded += values.localAppData;
                break;
            case Token::Publisher:
                expanded += values.publisher;
                break;
            case Token::AppName:
                expanded += values.appName;
                break;
            }
        });
    return expanded;
}

// TEMPORARY (replaced by the archive branch's rule on merge).
std::string InstallDirectoryProblem(std::string_view path, PathStyle style) {
    if (!IsAbsolutePath(path, style)) return "is not absolute";
    if (path.find("..") != std::string_view::npos) return "has a '..' component";
    return {};
}
