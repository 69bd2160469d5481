// The entity codec of the XML reader and writer, with its lookup tables built
// once for a whole parse or write instead of once per text.
//
// Internal to the reader; xml_entities.h is the public face of the same rules.
#pragma once

#include "xml/xml_entities.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class XmlEntityCodec {
public:
    // The table must outlive the codec and stay unchanged while it is used.
    explicit XmlEntityCodec(const XmlEntityTable& table);

    // True when some row's entity text begins with c: a text without such a
    // character decodes to itself.
    bool StartsEntity(char c) const { return starts_[static_cast<unsigned char>(c)]; }

    // Appends text with every entity text replaced, at each position by the
    // first row (in table order) that matches there.
    void AppendDecoded(std::string& out, std::string_view text) const;
    // Appends text with every character that has a row replaced by the
    // entity text of its first row.
    void AppendEncoded(std::string& out, std::string_view text) const;

private:
    struct Row {
        const char* text;
        std::size_t length;
        char character;
    };
    // The rows that count (positive length), in table order.
    std::vector<Row> rows_;
    std::array<bool, 256> starts_{};
    // Per character, the index + 1 in rows_ of its first row; 0 for none.
    std::array<std::uint32_t, 256> encodings_{};
};
