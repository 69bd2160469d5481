// ToXml: writes a node and its subtree as text, appending to one string so
// that the whole output is built in linear time.
#include "xml/xml_node.h"

namespace {

void NewLine(std::string& out, int tabs) {
    out += "\r\n";
    if (tabs > 0) out.append(static_cast<std::size_t>(tabs), '\t');
}

void AppendEncoded(std::string& out, const std::string& text, const XmlWriteOptions& options) {
    if (options.encodeEntities && options.entities != nullptr) {
        out += EncodeEntities(text, *options.entities);
    } else {
        out += text;
    }
}

// Each attribute is followed by one space, so a tag with attributes ends
// with a space before ">" or "/>".
void AppendAttributes(std::string& out, const XmlNode& node, const XmlWriteOptions& options) {
    if (node.AttributeCount() == 0) return;
    out += ' ';
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const XmlAttribute* attribute = node.AttributeAt(i);
        out += attribute->name;
        out += '=';
        out += options.quoteChar;
        AppendEncoded(out, attribute->value, options);
        out += options.quoteChar;
        out += ' ';
    }
}

void WriteNode(const XmlNode& node, XmlWriteOptions& options, std::string& out) {
    if (options.newlines) NewLine(out, options.indentLevel);
    switch (node.type) {
    case XmlNodeDocument:
        for (int i = 0; i < node.ChildCount(); ++i) WriteNode(*node.ChildAt(i), options, out);
        return;
    case XmlNodeProcessingInstruction:
        out += "<?";
        out += node.name;
        AppendAttributes(out, node, options);
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
    AppendAttributes(out, node, options);
    const bool hasChildren = node.ChildCount() > 0;
    if (!hasChildren && node.value.empty()) {
        out += "/>";
        return;
    }
    out += '>';
    const bool indent = options.newlines && hasChildren;
    if (indent) ++options.indentLevel;
    for (int i = 0; i < node.ChildCount(); ++i) WriteNode(*node.ChildAt(i), options, out);
    if (!node.value.empty()) {
        if (indent) NewLine(out, options.indentLevel);
        AppendEncoded(out, node.value, options);
    }
    if (indent) NewLine(out, options.indentLevel - 1);
    out += "</";
    out += node.name;
    out += '>';
    if (indent) --options.indentLevel;
}

} // namespace

std::string XmlNode::ToXml(XmlWriteOptions& options) const {
    std::string out;
    WriteNode(*this, options, out);
    return out;
}
