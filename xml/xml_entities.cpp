#include "xml/xml_entities.h"

#include "xml/xml_entity_codec.h"

#include <cstring>

namespace {

XmlEntity MakeEntity(char character, const char* text) {
    XmlEntity entity;
    entity.character = character;
    std::strncpy(entity.text, text, sizeof(entity.text) - 1);
    entity.length = static_cast<std::int32_t>(std::strlen(entity.text));
    return entity;
}

} // namespace

const XmlEntityTable& XmlDefaultEntities() {
    static const XmlEntityTable table{MakeEntity('&', "&amp;"), MakeEntity('"', "&quot;"), MakeEntity('\'', "&apos;"),
                                      MakeEntity('<', "&lt;"), MakeEntity('>', "&gt;")};
    return table;
}

std::string DecodeEntities(std::string_view text, const XmlEntityTable& table) {
    std::string out;
    XmlEntityCodec(table).AppendDecoded(out, text);
    return out;
}

std::string DecodeEntities(std::string_view text) { return DecodeEntities(text, XmlDefaultEntities()); }

std::string EncodeEntities(std::string_view text, const XmlEntityTable& table) {
    std::string out;
    XmlEntityCodec(table).AppendEncoded(out, text);
    return out;
}

std::string EncodeEntities(std::string_view text) { return EncodeEntities(text, XmlDefaultEntities()); }
