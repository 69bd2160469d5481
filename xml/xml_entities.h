// Entity tables and the entity codec of the XML reader.
//
// An entity table maps single characters to entity texts ("&amp;" for "&").
// Only the rows of a table are known: numeric character references ("&#38;")
// are never decoded, and entity texts are matched byte for byte, letter case
// included ("&AMP;" stays as it is).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct XmlEntity {
    char character = 0;
    // NUL-terminated; at most sizeof(text) - 1 characters.
    char text[12] = {};
    // The number of characters of text that count; rows whose length is not
    // positive are ignored by both directions of the codec.
    std::int32_t length = 0;
};

using XmlEntityTable = std::vector<XmlEntity>;

// The five predefined entities, in this order: & " ' < >. Built on first use
// and kept until exit; callers must not change it while others parse.
const XmlEntityTable& XmlDefaultEntities();

// Replaces, at each position, the text of the first row (in table order) that
// starts there by that row's character; other characters are copied. The
// result is never longer than text. Linear in the text's length.
std::string DecodeEntities(std::string_view text, const XmlEntityTable& table);
std::string DecodeEntities(std::string_view text);

// Replaces every character that has a row by the entity text of its first
// row. Returns text unchanged when no character has a row. Linear.
std::string EncodeEntities(std::string_view text, const XmlEntityTable& table);
std::string EncodeEntities(std::string_view text);
