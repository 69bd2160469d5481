#include "xml/xml_entities.h"

#include <array>
#include <cstring>

namespace {

XmlEntity MakeEntity(char character, const char* text) {
    XmlEntity entity;
    entity.character = character;
    std::strncpy(entity.text, text, sizeof(entity.text) - 1);
    entity.length = static_cast<std::int32_t>(std::strlen(entity.text));
    return entity;
}

// The usable length of a row: its length field, but never beyond its text.
std::size_t RowLength(const XmlEntity& entity) {
    if (entity.length <= 0) return 0;
    const void* nul = std::memchr(entity.text, 0, sizeof(entity.text));
    const std::size_t stored = nul ? static_cast<const char*>(nul) - entity.text : sizeof(entity.text);
    const auto declared = static_cast<std::size_t>(entity.length);
    return declared < stored ? declared : stored;
}

} // namespace

const XmlEntityTable& XmlDefaultEntities() {
    static const XmlEntityTable table{MakeEntity('&', "&amp;"), MakeEntity('"', "&quot;"), MakeEntity('\'', "&apos;"),
                                      MakeEntity('<', "&lt;"), MakeEntity('>', "&gt;")};
    return table;
}

std::string DecodeEntities(std::string_view text, const XmlEntityTable& table) {
    // Entity texts are short, so trying every row at each "&"-like position
    // keeps the decoder linear in the text for any fixed table.
    std::array<bool, 256> starts{};
    for (const XmlEntity& entity : table) {
        if (RowLength(entity) > 0) starts[static_cast<unsigned char>(entity.text[0])] = true;
    }
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (starts[static_cast<unsigned char>(text[i])]) {
            bool matched = false;
            for (const XmlEntity& entity : table) {
                const std::size_t length = RowLength(entity);
                if (length == 0 || length > text.size() - i) continue;
                if (std::memcmp(text.data() + i, entity.text, length) == 0) {
                    out.push_back(entity.character);
                    i += length;
                    matched = true;
                    break;
                }
            }
            if (matched) continue;
        }
        out.push_back(text[i]);
        ++i;
    }
    return out;
}

std::string DecodeEntities(std::string_view text) { return DecodeEntities(text, XmlDefaultEntities()); }

std::string EncodeEntities(std::string_view text, const XmlEntityTable& table) {
    // The first row of each character wins, as in decoding.
    std::array<const XmlEntity*, 256> rows{};
    for (const XmlEntity& entity : table) {
        auto& row = rows[static_cast<unsigned char>(entity.character)];
        if (row == nullptr && RowLength(entity) > 0) row = &entity;
    }
    std::size_t count = 0;
    for (char c : text) {
        if (rows[static_cast<unsigned char>(c)] != nullptr) ++count;
    }
    if (count == 0) return std::string(text);
    std::string out;
    out.reserve(text.size() + 10 * count);
    for (char c : text) {
        const XmlEntity* row = rows[static_cast<unsigned char>(c)];
        if (row == nullptr) {
            out.push_back(c);
        } else {
            out.append(row->text, RowLength(*row));
        }
    }
    return out;
}

std::string EncodeEntities(std::string_view text) { return EncodeEntities(text, XmlDefaultEntities()); }
