#include "xml/xml_entity_codec.h"

#include <cstring>

namespace {

// The usable length of a row: its length field, but never beyond its text.
std::size_t RowLength(const XmlEntity& entity) {
    if (entity.length <= 0) return 0;
    const void* nul = std::memchr(entity.text, 0, sizeof(entity.text));
    const std::size_t stored = nul ? static_cast<const char*>(nul) - entity.text : sizeof(entity.text);
    const auto declared = static_cast<std::size_t>(entity.length);
    return declared < stored ? declared : stored;
}

} // namespace

XmlEntityCodec::XmlEntityCodec(const XmlEntityTable& table) {
    rows_.reserve(table.size());
    for (const XmlEntity& entity : table) {
        const std::size_t length = RowLength(entity);
        if (length == 0) continue;
        rows_.push_back(Row{entity.text, length, entity.character});
        starts_[static_cast<unsigned char>(entity.text[0])] = true;
        std::uint32_t& encoding = encodings_[static_cast<unsigned char>(entity.character)];
        if (encoding == 0) encoding = static_cast<std::uint32_t>(rows_.size());
    }
}

void XmlEntityCodec::AppendDecoded(std::string& out, std::string_view text) const {
    // Entity texts are short, so trying every row at each position that may
    // start one keeps the decoder linear in the text for any fixed table.
    out.reserve(out.size() + text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t plain = i;
        while (plain < text.size() && !StartsEntity(text[plain])) ++plain;
        out.append(text.data() + i, plain - i);
        i = plain;
        if (i == text.size()) break;
        const Row* match = nullptr;
        for (const Row& row : rows_) {
            if (row.length <= text.size() - i && std::memcmp(text.data() + i, row.text, row.length) == 0) {
                match = &row;
                break;
            }
        }
        if (match != nullptr) {
            out.push_back(match->character);
            i += match->length;
        } else {
            out.push_back(text[i]);
            ++i;
        }
    }
}

void XmlEntityCodec::AppendEncoded(std::string& out, std::string_view text) const {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t plain = i;
        while (plain < text.size() && encodings_[static_cast<unsigned char>(text[plain])] == 0) ++plain;
        out.append(text.data() + i, plain - i);
        i = plain;
        if (i == text.size()) break;
        const Row& row = rows_[encodings_[static_cast<unsigned char>(text[i])] - 1u];
        out.append(row.text, row.length);
        ++i;
    }
}
