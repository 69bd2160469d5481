// ToXml: writes a node and its subtree as text, appending to one string so
// that the whole output is built in linear time. Values are encoded straight
// into that string, with the encoding table built once per call.
#include "xml/xml_entity_codec.h"
#include "xml/xml_node.h"

#include <optional>

namespace {

void NewLine(std::string& out, int tabs) {
    out += "\r\n";
    if (tabs > 0) out.append(static_cast<std::size_t>(tabs), '\t');
}

struct Writer {
    XmlWriteOptions& options;
    // Empty when the options encode nothing.
    std::optional<XmlEntityCodec> codec;
    std::string out;
};

void AppendEncoded(Writer& writer, const std::string& text) {
    if (writer.codec) {
        writer.codec->AppendEncoded(writer.out, text);
    } else {
        writer.out += text;
    }
}

// Each attribute is followed by one space, so a tag with attributes ends
// with a space before ">" or "/>".
void AppendAttributes(Writer& writer, const XmlNode& node) {
    if (node.AttributeCount() == 0) return;
    std::string& out = writer.out;
    out += ' ';
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const XmlAttribute* attribute = node.AttributeAt(i);
        out += attribute->name;
        out += '=';
        out += writer.options.quoteChar;
        AppendEncoded(writer, attribute->value);
        out += writer.options.quoteChar;
        out += ' ';
    }
}

void WriteNode(const XmlNode& node, Writer& writer) {
    XmlWriteOptions& options = writer.options;
    std::string& out = writer.out;
    if (options.newlines) NewLine(out, options.indentLevel);
    switch (node.type) {
    case XmlNodeDocument:
        for (int i = 0; i < node.ChildCount(); ++i) WriteNode(*node.ChildAt(i), writer);
        return;
    case XmlNodeProcessingInstruction:
        out += "<?";
        out += node.name;
        AppendAttributes(writer, node);
        out += "?>";
        return;
    case XmlNodeComment:
        out += "<!--";
        out += node.value;
        out += "-->";
        return;
    case XmlNodeCData:
        out += "<![CDATA[";
        out += node.value;
        out += "]]>";
        return;
    case XmlNodeElement:
    default:
        break;
    }
    out += '<';
    out += node.name;
    AppendAttributes(writer, node);
    const bool hasChildren = node.ChildCount() > 0;
    if (!hasChildren && node.value.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    const bool indent = options.newlines && hasChildren;
    if (indent) ++options.indentLevel;
    for (int i = 0; i < node.ChildCount(); ++i) WriteNode(*node.ChildAt(i), writer);
    if (!node.value.empty()) {
        if (indent) NewLine(out, options.indentLevel);
        AppendEncoded(writer, node.value);
    }
    if (indent) NewLine(out, options.indentLevel - 1);
    out += "</";
    out += node.name;
    out += '>';
    if (indent) --options.indentLevel;
}

} // namespace

std::string XmlNode::ToXml(XmlWriteOptions& options) const {
    Writer writer{options, std::nullopt, {}};
    if (options.encodeEntities && options.entities != nullptr) writer.codec.emplace(*options.entities);
    WriteNode(*this, writer);
    return std::move(writer.out);
}
