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

bool IsSeparator(char c, PathStyle style) { return c == '/' || (style == PathStyle::Windows && c == '\\'); }

// The length of the root of an absolute path with the separator after it
// ("C:\\", "\\\\server\\share\\", "/"); 0 when there is none, with why not
// in problem.
std::size_t RootLength(std::string_view path, PathStyle style, const char*& problem) {
    const auto separator = [&](std::size_t at) { return at < path.size() && IsSeparator(path[at], style); };
    problem = style == PathStyle::Windows
                  ? "is not absolute: it must start with a drive and a separator (C:\\) or a share (\\\\server\\share)"
                  : "is not absolute: it must start with '/'";
    if (style == PathStyle::Posix) return separator(0) ? 1 : 0;
    if (separator(0) && separator(3) &&
        ((separator(1) && (path[2] == '?' || path[2] == '.')) || (path[1] == '?' && path[2] == '?'))) {
        problem = "is an extended-length or device path (\\\\?\\, \\\\.\\ or \\??\\)";
        return 0;
    }
    const char drive = path.empty() ? '\0' : path[0];
    if (((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) && path.size() > 1 && path[1] == ':' &&
        separator(2))
        return 3;
    if (!separator(0) || !separator(1)) return 0;
    // A share: two separators, the server, one separator, the share.
    const auto partEnd = [&](std::size_t at) {
        while (at < path.size() && !separator(at)) ++at;
        return at;
    };
    const std::size_t serverEnd = partEnd(2);
    const std::size_t shareEnd = serverEnd < path.size() ? partEnd(serverEnd + 1) : serverEnd;
    if (serverEnd == 2 || serverEnd == path.size() || shareEnd == serverEnd + 1) {
        problem = "names no share (\\\\server\\share)";
        return 0;
    }
    return shareEnd < path.size() ? shareEnd + 1 : shareEnd;
}

} // namespace

std::string InstallDirectoryProblem(std::string_view path, PathStyle style) {
    if (path.empty()) return "is empty";
    const char* rootProblem = nullptr;
    const std::size_t root = RootLength(path, style, rootProblem);
    if (root == 0) return rootProblem;
    std::string_view rest = path.substr(root);
    // One separator may end the path, after a component.
    if (rest.size() >= 2 && IsSeparator(rest.back(), style) && !IsSeparator(rest[rest.size() - 2], style))
        rest.remove_suffix(1);
    for (std::size_t start = 0; !rest.empty();) {
        std::size_t end = start;
        while (end < rest.size() && !IsSeparator(rest[end], style)) ++end;
        const std::string_view component = rest.substr(start, end - start);
        const int length = static_cast<int>(component.size());
        if (component.empty()) return "has an empty component (two separators in a row)";
        if (component == "." || component == "..")
            return StringFormat("has the relative component '%.*s'", length, component.data());
        if (const std::string name = EntryNameProblem(component); !name.empty())
            return StringFormat("has the component '%.*s', which %s", length, component.data(), name.c_str());
        if (end == rest.size()) break;
        start = end + 1;
    }
    return {};
}

std::string PublisherNameProblem(std::string_view name) { return EntryNameProblem(name); }

std::string InstallDirTemplateProblem(std::string_view text) {
    if (text.empty()) return "is empty";
    if (!IsValidUtf8(text)) return "is not valid UTF-8";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return StringFormat("contains the control character 0x%02X", byte);
    }
    if (std::string problem = Walk(
            text, [](std::string_view) {}, [](Token) {});
        !problem.empty())
        return problem;
    // Where the tokens point on a typical Windows machine: the directory the
    // template makes is judged without the machine at hand.
    const std::string sample =
        ExpandInstallDirTemplate(text, {"C:\\Program Files", "C:\\Users\\User\\AppData\\Local", "Name", "Name"});
    const std::string problem = InstallDirectoryProblem(sample, PathStyle::Windows);
    if (problem.empty()) return {};
    return StringFormat("gives '%s' with sample values for its tokens, which %s", sample.c_str(), problem.c_str());
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
