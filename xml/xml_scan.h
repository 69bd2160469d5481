// The scanning functions of the XML reader. Each takes a position inside a
// NUL-terminated text and returns a position inside the same text: none of
// them ever reads or returns a position past the terminating NUL, whatever
// the text (an escape character just before the NUL ends the scan at the
// NUL instead of stepping over it).
//
// Internal to the reader; declared here so that the rules can be tested one
// by one.
#pragma once

#include <array>
#include <string>

namespace xml_scan {

// White space of the C library in the "C" locale: space, \t, \n, \v, \f, \r.
inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The first position at or after p that is not white space.
const char* SkipSpace(const char* p);

// A set of characters as a table, built at compile time, for the scans
// that run once per name: one lookup a character. The NUL is always a
// member, so a scan with it stops at the end of the text.
class CharSet {
public:
    explicit constexpr CharSet(const char* members) {
        member_[0] = true;
        for (; *members != '\0'; ++members) member_[static_cast<unsigned char>(*members)] = true;
    }
    constexpr bool Has(char c) const { return member_[static_cast<unsigned char>(c)]; }

private:
    std::array<bool, 256> member_{};
};

// As FindAnyEscaped(p, members, '\0'): the first character at or after p
// that is in set, or the NUL.
inline const char* FindAny(const char* p, const CharSet& set) {
    while (!set.Has(*p)) ++p;
    return p;
}

// The first ch at or after p, or the NUL. When esc is not 0, an esc character
// is stepped over together with the character after it, so an escaped ch does
// not count.
const char* FindCharEscaped(const char* p, char ch, char esc);

// The first character at or after p that is in set (a NUL-terminated list),
// or the NUL. An esc character (when esc is not 0) is not tested against set
// unless it follows another esc; the character after an esc is tested as any
// other, so an escape does not protect a member of set.
const char* FindAnyEscaped(const char* p, const char* set, char esc);

// The first position at or after p where the next n characters equal marker,
// letter case ignored, or the NUL. Unescaped esc characters (esc not 0) are
// stepped over with their following character while advancing, and skipped
// while comparing. When matchEnd is given it receives the position just
// after the matched characters (the NUL when nothing matched).
const char* FindMarker(const char* p, const char* marker, int n, char esc, const char** matchEnd = nullptr);

// True when the n characters at p equal marker, letter case ignored.
bool StartsWithNoCase(const char* p, const char* marker, int n);

// Moves start and end inwards over white space until both stand at other
// characters or meet; does nothing when end is not after start.
void TrimSpace(const char*& start, const char*& end);

// Cuts [start, end) into out. With trim, white space is first removed from
// both ends. An empty range (also end before start) leaves out unchanged.
// With esc not 0, every esc that does not follow a dropped esc is dropped and
// the character after it is kept as it is; an esc at the very end of the
// range is dropped. Linear in the range.
void TextBetween(const char* start, const char* end, std::string& out, bool trim, char esc);

// True when text has no character besides white space.
bool IsBlank(const std::string& text);

} // namespace xml_scan
