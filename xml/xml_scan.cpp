#include "xml/xml_scan.h"

#include <cstring>

namespace xml_scan {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool InSet(char c, const char* set) {
    for (; *set != '\0'; ++set) {
        if (*set == c) return true;
    }
    return false;
}

// Compares the marker at p, skipping unescaped esc characters of the text.
// Returns the position after the match, or null when it does not match.
const char* MatchAt(const char* p, const char* marker, int n, char esc) {
    for (int i = 0; i < n; ++i) {
        if (esc != '\0' && *p == esc) ++p;
        if (*p == '\0' || LowerAscii(*p) != LowerAscii(marker[i])) return nullptr;
        ++p;
    }
    return p;
}

} // namespace

const char* SkipSpace(const char* p) {
    while (IsSpace(*p)) ++p;
    return p;
}

const char* FindCharEscaped(const char* p, char ch, char esc) {
    while (*p != '\0') {
        if (esc != '\0' && *p == esc) {
            ++p;
            if (*p == '\0') break;
            ++p;
            continue;
        }
        if (*p == ch) break;
        ++p;
    }
    return p;
}

const char* FindAnyEscaped(const char* p, const char* set, char esc) {
    bool escaped = false;
    for (; *p != '\0'; ++p) {
        if (esc != '\0' && *p == esc && !escaped) {
            escaped = true;
            continue;
        }
        if (InSet(*p, set)) break;
        escaped = false;
    }
    return p;
}

const char* FindMarker(const char* p, const char* marker, int n, char esc, const char** matchEnd) {
    // A match can only begin at the marker's first character, in either
    // case, and must not begin at an escape; strcspn skips everything else.
    const char first = LowerAscii(marker[0]);
    const char upper = first >= 'a' && first <= 'z' ? static_cast<char>(first - 'a' + 'A') : first;
    const char stops[] = {esc, first, upper, '\0'};
    const char* candidates = esc != '\0' ? stops : stops + 1;
    while (*p != '\0') {
        p += std::strcspn(p, candidates);
        if (*p == '\0') break;
        if (esc != '\0' && *p == esc) {
            ++p;
            if (*p == '\0') break;
            ++p;
            continue;
        }
        if (const char* end = MatchAt(p, marker, n, esc)) {
            if (matchEnd != nullptr) *matchEnd = end;
            return p;
        }
        ++p;
    }
    if (matchEnd != nullptr) *matchEnd = p;
    return p;
}

bool StartsWithNoCase(const char* p, const char* marker, int n) {
    for (int i = 0; i < n; ++i) {
        if (p[i] == '\0' || LowerAscii(p[i]) != LowerAscii(marker[i])) return false;
    }
    return true;
}

void TrimSpace(const char*& start, const char*& end) {
    while (start < end && IsSpace(*start)) ++start;
    while (end > start && IsSpace(end[-1])) --end;
}

void TextBetween(const char* start, const char* end, std::string& out, bool trim, char esc) {
    if (end <= start) return;
    if (trim) TrimSpace(start, end);
    if (start == end) return;
    out.clear();
    if (esc == '\0') {
        out.assign(start, end);
        return;
    }
    out.reserve(static_cast<std::size_t>(end - start));
    for (const char* p = start; p < end; ++p) {
        if (*p == esc) {
            ++p;
            if (p == end) break;
        }
        out.push_back(*p);
    }
}

bool IsBlank(const std::string& text) {
    for (char c : text) {
        if (!IsSpace(c)) return false;
    }
    return true;
}

} // namespace xml_scan
