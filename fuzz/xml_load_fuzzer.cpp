// Parses arbitrary bytes as XML and writes the tree back: the reader's input
// is a configuration file that a user may have got wrong in any way.
//
// Input: the first byte picks the parse options (below) and the writer's
// form; the rest is the text. The text is copied into a heap buffer that ends
// exactly at its terminating NUL, so any read past it is caught.
//
// Besides what the sanitizers catch, the target aborts when Load returns or
// records a position outside the text, or when a parent link does not name
// the node that owns the child or attribute.
#include "xml/xml_node.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool InText(const char* position, const char* text, std::size_t size) {
    return position >= text && position <= text + size;
}

void CheckLinks(const XmlNode& node) {
    for (int i = 0; i < node.AttributeCount(); ++i) Check(node.AttributeAt(i)->parent == &node);
    for (int i = 0; i < node.ChildCount(); ++i) {
        Check(node.ChildAt(i)->parent == &node);
        CheckLinks(*node.ChildAt(i));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t selector = data[0];
    const std::size_t length = size - 1;
    const std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), data + 1, length);
    text[length] = '\0';

    XmlParseOptions options;
    switch (selector % 6) {
    case 1:
        options.trimText = true;
        break;
    case 2:
        options.entities = nullptr;
        break;
    case 3:
        options.escapeChar = '\0';
        break;
    case 4:
        options.tolerateMismatch = true;
        break;
    default:
        break; // 0 the defaults, 5 the defaults under a document node
    }

    XmlNode document;
    document.type = XmlNodeDocument;
    document.document = &document;
    XmlNode standalone;
    XmlNode& root = selector % 6 == 5 ? *document.AppendChild("", "") : standalone;

    const char* end = root.Load(text.get(), options);
    if (end != nullptr) Check(InText(end, text.get(), length));
    if (options.errorPosition != nullptr) Check(InText(options.errorPosition, text.get(), length));
    CheckLinks(document);
    CheckLinks(standalone);

    XmlWriteOptions write;
    write.newlines = (selector & 0x40) != 0;
    write.quoteChar = (selector & 0x80) != 0 ? '\'' : '"';
    const std::string written = (selector % 6 == 5 ? document : standalone).ToXml(write);
    Check(write.indentLevel == 0);

    // What the writer made must parse without harm too.
    XmlParseOptions again;
    XmlNode reparsed;
    const char* reparsedEnd = reparsed.Load(written.c_str(), again);
    if (reparsedEnd != nullptr) Check(InText(reparsedEnd, written.c_str(), written.size()));
    return 0;
}
