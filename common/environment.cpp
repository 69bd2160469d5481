#include "common/environment.h"

#include "common/environment_platform.h"

namespace {

constexpr std::size_t kValueBuffer = 1000;
constexpr std::size_t kLongValueBuffer = 2000;
constexpr std::size_t kReferenceBuffer = 260;

std::string ReadOrEmpty(const char* name, std::size_t bufferSize) {
    std::string value;
    if (name == nullptr || *name == '\0' || !environment_platform::ReadVariable(name, bufferSize, value)) return {};
    return value;
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

} // namespace

std::string GetEnvironmentValue(const char* name) { return ReadOrEmpty(name, kValueBuffer); }

std::string GetEnvironmentValueLong(const char* name) { return ReadOrEmpty(name, kLongValueBuffer); }

std::string ExpandEnvironmentRefs(std::string_view text) {
    std::string result;
    std::size_t done = 0;
    for (;;) {
        const std::size_t open = text.find('%', done);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        const std::string name(text.substr(open + 1, close - open - 1));
        std::string value;
        if (name.empty() || !environment_platform::ReadVariable(name.c_str(), kReferenceBuffer, value)) break;
        result.append(text.substr(done, open - done));
        result += value;
        done = close + 1;
    }
    result.append(text.substr(done));
    return result;
}

std::string ExpandVariables(std::string_view text) {
    std::string result;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '%') {
            if (i + 1 < text.size() && text[i + 1] == '%') {
                result += '%';
                i += 2;
                continue;
            }
            const std::size_t close = text.find('%', i + 1);
            if (close == std::string_view::npos) {
                result.append(text.substr(i));
                break;
            }
            result += GetEnvironmentValueLong(std::string(text.substr(i + 1, close - i - 1)).c_str());
            i = close + 1;
        } else if (c == '$' && i + 1 < text.size() && text[i + 1] == '{') {
            std::size_t end = i + 2;
            while (end < text.size() && IsNameCharacter(text[end])) ++end;
            result += GetEnvironmentValueLong(std::string(text.substr(i + 2, end - i - 2)).c_str());
            i = end < text.size() && text[end] == '}' ? end + 1 : end;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}
