#include "tree_dump.h"

namespace {

void AppendShown(std::string& out, const std::string& text) {
    for (char c : text) {
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
}

} // namespace

std::string Dump(const XmlNode& node) {
    std::string out = node.name;
    if (node.type != XmlNodeElement) out += ":" + std::to_string(node.type);
    if (node.AttributeCount() > 0) {
        out += '[';
        for (int i = 0; i < node.AttributeCount(); ++i) {
            if (i > 0) out += ',';
            out += node.AttributeAt(i)->name;
            out += '=';
            AppendShown(out, node.AttributeAt(i)->value);
        }
        out += ']';
    }
    if (!node.value.empty()) {
        out += "=\"";
        AppendShown(out, node.value);
        out += '"';
    }
    if (node.ChildCount() > 0) {
        out += '{';
        for (int i = 0; i < node.ChildCount(); ++i) {
            if (i > 0) out += ' ';
            out += Dump(*node.ChildAt(i));
        }
        out += '}';
    }
    return out;
}

bool LinksConsistent(const XmlNode& node) {
    for (int i = 0; i < node.AttributeCount(); ++i) {
        if (node.AttributeAt(i)->parent != &node) return false;
    }
    for (int i = 0; i < node.ChildCount(); ++i) {
        const XmlNode* child = node.ChildAt(i);
        if (child->parent != &node) return false;
        if (!LinksConsistent(*child)) return false;
    }
    return true;
}
