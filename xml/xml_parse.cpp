// Load: a recursive descent over a NUL-terminated text with pointers into it.
//
// Every step finds the next delimiter with one of the scanning functions of
// xml_scan.h, cuts the text between two positions into a name or a value,
// and returns the position where its caller goes on. None of the scans ever
// passes the terminating NUL, and every construct that needs a closing marker
// checks that the marker was found before stepping over it.
//
// Most values hold neither an escape nor an entity: they are cut with one
// copy, and only the others go through escape removal and decoding. The
// attributes of a tag are gathered first and then moved into a list of their
// exact number.
//
// ParseElement and ParseChild recurse together once per nesting level and
// are the only recursive functions, so their frames are kept small: every
// step that builds strings lives in a separate function that is not inlined
// into them, and the depth is checked before an element is opened.
#include "xml/xml_entity_codec.h"
#include "xml/xml_node.h"
#include "xml/xml_scan.h"

#include "common/string_format.h"

#include <array>
#include <cstring>
#include <optional>

#if defined(__GNUC__)
#define ZOR_XML_NOINLINE __attribute__((noinline))
#else
#define ZOR_XML_NOINLINE
#endif

using namespace xml_scan;

namespace {

constexpr char kBackslash = '\\';

// Where names end: an element's, an attribute's, a processing instruction's
// and a closing tag's.
constexpr CharSet kElementNameEnd(" />\t\r\n");
constexpr CharSet kAttributeNameEnd(" =");
constexpr CharSet kInstructionNameEnd(" ?>");
constexpr CharSet kClosingNameEnd(" >");

// Records an error unless one is recorded already: the first error of a
// reused record wins.
ZOR_XML_NOINLINE void RecordError(XmlParseOptions& options, XmlParseError code, const char* position,
                                  std::string text) {
    if (options.errorOccurred) return;
    options.errorOccurred = true;
    options.errorPosition = position;
    options.errorCode = code;
    options.errorText = std::move(text);
}

// The outcome of the attribute scan of a tag.
enum class TagEnd {
    Closed,     // at the ">" or "/" that ends the tag
    Failed,     // the tag runs into the end, or an attribute name never ends
    CutInValue, // the text ends inside a quoted value (error recorded)
};

} // namespace

class XmlParser {
public:
    explicit XmlParser(XmlParseOptions& options);

    const char* ParseElement(XmlNode& node, const char* text, int depth);

private:
    // What the prolog scan did.
    enum class Prolog {
        Done,         // p is where the element is expected
        GaveToParent, // a comment or CDATA section went to the parent
        Failed,       // a construct ran into the end of the text
    };

    ZOR_XML_NOINLINE Prolog ScanProlog(XmlNode& node, const char*& p);
    ZOR_XML_NOINLINE const char* ScanProcessingInstruction(XmlNode& node, const char* p);
    ZOR_XML_NOINLINE const char* ScanCommentOrCData(XmlNode& node, const char* p, bool cdata);
    ZOR_XML_NOINLINE const char* ReadName(XmlNode& node, const char* p);
    ZOR_XML_NOINLINE TagEnd ScanAttributes(XmlNode& node, const char*& p);
    TagEnd ScanAttributeList(XmlNode& node, const char*& p);
    XmlAttribute* NewAttribute(const char* nameStart, const char* nameEnd);
    void MoveAttributesTo(XmlNode& node);
    bool NeedsDecoding(const char* start, const char* end) const;
    ZOR_XML_NOINLINE void ScanBoundedAttributes(XmlNode& node, const char* p, const char* end);
    ZOR_XML_NOINLINE const char* ReadText(XmlNode& node, const char* p);
    ZOR_XML_NOINLINE void SetValue(std::string& out, const char* start, const char* end);
    ZOR_XML_NOINLINE const char* CloseTag(XmlNode& node, const char* r, bool& closed);
    ZOR_XML_NOINLINE void NoOpenTag();
    ZOR_XML_NOINLINE const char* ParseChild(XmlNode& node, const char* p, int depth);

    XmlParseOptions& options_;
    // Empty when the options decode nothing.
    std::optional<XmlEntityCodec> codec_;
    // The characters that make a value more than a plain copy of its text:
    // the escape character and the first characters of entity texts.
    std::array<bool, 256> special_{};
    // The attributes of the tag being scanned, and a buffer for decoding.
    XmlOwnedList<XmlAttribute> attributes_;
    std::string decoded_;
    // A child that was made but took no element, kept for the next one.
    std::unique_ptr<XmlNode> spare_;
};

XmlParser::XmlParser(XmlParseOptions& options) : options_(options) {
    if (options.decodeEntities && options.entities != nullptr) {
        codec_.emplace(*options.entities);
        for (int c = 0; c < 256; ++c) special_[c] = codec_->StartsEntity(static_cast<char>(c));
    }
    if (options.escapeChar != '\0') special_[static_cast<unsigned char>(options.escapeChar)] = true;
}

bool XmlParser::NeedsDecoding(const char* start, const char* end) const {
    for (const char* p = start; p < end; ++p) {
        if (special_[static_cast<unsigned char>(*p)]) return true;
    }
    return false;
}

void XmlParser::NoOpenTag() {
    // Written even over an earlier error.
    options_.errorOccurred = true;
    options_.errorPosition = nullptr;
    options_.errorCode = XmlErrorUnclosed;
    options_.errorText = "XML open tag not found";
}

void XmlParser::SetValue(std::string& out, const char* start, const char* end) {
    const char* first = start;
    const char* last = end;
    if (options_.trimText) TrimSpace(first, last);
    // An empty range keeps out as it was, and that earlier text is decoded
    // again: the full path below does both.
    if (first < last && !NeedsDecoding(first, last)) {
        out.assign(first, last);
        return;
    }
    TextBetween(start, end, out, options_.trimText, options_.escapeChar);
    if (!codec_) return;
    decoded_.clear();
    codec_->AppendDecoded(decoded_, out);
    out.assign(decoded_); // never longer: fits in out's own buffer
}

const char* XmlParser::ReadText(XmlNode& node, const char* p) {
    // The end of a text run is found with a backslash whatever the escape
    // character of the options: "\<" never ends a run.
    const char* end = FindCharEscaped(p, '<', kBackslash);
    SetValue(node.value, p, end);
    return end;
}

const char* XmlParser::ReadName(XmlNode& node, const char* p) {
    const char* end = FindAny(p, kElementNameEnd);
    TextBetween(p, end, node.name, false, '\0');
    return end;
}

XmlAttribute* XmlParser::NewAttribute(const char* nameStart, const char* nameEnd) {
    XmlAttribute* attribute = attributes_.Append(std::make_unique<XmlAttribute>());
    TextBetween(nameStart, nameEnd, attribute->name, false, '\0');
    return attribute;
}

void XmlParser::MoveAttributesTo(XmlNode& node) {
    for (XmlAttribute* attribute : attributes_) attribute->parent = &node;
    node.attributes_.TakeAll(attributes_);
}

TagEnd XmlParser::ScanAttributes(XmlNode& node, const char*& p) {
    // The attributes go to node however the scan ends.
    const TagEnd end = ScanAttributeList(node, p);
    MoveAttributesTo(node);
    return end;
}

TagEnd XmlParser::ScanAttributeList(XmlNode& node, const char*& p) {
    for (;;) {
        if (*p == '\0') return TagEnd::Failed;
        const char* q = SkipSpace(p);
        if (*q == '>' || *q == '/') {
            p = q;
            return TagEnd::Closed;
        }
        // Only white space before the end: the tag runs into the end, which
        // is not an attribute error.
        if (*q == '\0') return TagEnd::Failed;
        const char* nameEnd = FindAny(q, kAttributeNameEnd);
        if (*nameEnd == '\0') {
            RecordError(options_, XmlErrorBadAttribute, q,
                        StringFormat("<%s> attribute has error ", node.name.c_str()));
            return TagEnd::Failed;
        }
        XmlAttribute* attribute = NewAttribute(q, nameEnd);
        p = SkipSpace(nameEnd);
        if (*p != '=') continue;
        const char* v = SkipSpace(p + 1);
        if (*v == '"' || *v == '\'') {
            const char* close = FindCharEscaped(v + 1, *v, kBackslash);
            if (*close == '\0') {
                RecordError(options_, XmlErrorUnexpectedEnd, v, "XML text ends inside a quoted value");
                return TagEnd::CutInValue;
            }
            SetValue(attribute->value, v + 1, close);
            p = close + 1;
        } else {
            const char* end = FindAnyEscaped(v, " >", kBackslash);
            SetValue(attribute->value, v, end);
            p = end;
        }
    }
}

void XmlParser::ScanBoundedAttributes(XmlNode& node, const char* p, const char* end) {
    // As ScanAttributes, but everything stops at end (the "?>" of the
    // instruction): ">" and "/" are ordinary characters here.
    while (p < end) {
        const char* q = SkipSpace(p);
        if (q >= end) return;
        const char* nameEnd = FindAny(q, kAttributeNameEnd);
        if (nameEnd >= end) {
            RecordError(options_, XmlErrorBadAttribute, q,
                        StringFormat("<%s> attribute has error ", node.name.c_str()));
            return;
        }
        XmlAttribute* attribute = node.AppendAttribute(std::make_unique<XmlAttribute>());
        TextBetween(q, nameEnd, attribute->name, false, '\0');
        p = SkipSpace(nameEnd);
        if (p >= end) return;
        if (*p != '=') continue;
        const char* v = SkipSpace(p + 1);
        if (v >= end) return;
        if (*v == '"' || *v == '\'') {
            const char* close = FindCharEscaped(v + 1, *v, kBackslash);
            if (close >= end) {
                SetValue(attribute->value, v + 1, end);
                return;
            }
            SetValue(attribute->value, v + 1, close);
            p = close + 1;
        } else {
            const char* valueEnd = FindAnyEscaped(v, " >", kBackslash);
            if (valueEnd > end) valueEnd = end;
            SetValue(attribute->value, v, valueEnd);
            p = valueEnd;
        }
    }
}

const char* XmlParser::ScanProcessingInstruction(XmlNode& node, const char* p) {
    const char* afterMarker = nullptr;
    const char* end = FindMarker(p, "?>", 2, options_.escapeChar, &afterMarker);
    if (*end == '\0') {
        RecordError(options_, XmlErrorUnexpectedEnd, p, "XML text ends inside a processing instruction");
        return nullptr;
    }
    XmlNode* document = node.document;
    if (document == nullptr) return afterMarker;
    auto instruction = std::make_unique<XmlNode>();
    instruction->type = XmlNodeProcessingInstruction;
    const char* nameStart = p + 2;
    const char* nameEnd = FindAny(nameStart, kInstructionNameEnd);
    if (nameEnd > end) nameEnd = end;
    TextBetween(nameStart, nameEnd, instruction->name, false, '\0');
    ScanBoundedAttributes(*instruction, nameEnd, end);
    // AppendChild makes the document the owner and parent, and gives the
    // instruction the document's own document link; it belongs to node's.
    XmlNode* appended = document->AppendChild(std::move(instruction));
    appended->document = document;
    return afterMarker;
}

const char* XmlParser::ScanCommentOrCData(XmlNode& node, const char* p, bool cdata) {
    const char* afterMarker = nullptr;
    // Searched from the "<", so that "<!-->" is a whole, empty comment.
    const char* end = FindMarker(p, cdata ? "]]>" : "-->", 3, options_.escapeChar, &afterMarker);
    if (*end == '\0') {
        RecordError(options_, XmlErrorUnexpectedEnd, p,
                    cdata ? "XML text ends inside a CDATA section" : "XML text ends inside a comment");
        return nullptr;
    }
    XmlNode* owner = node.parent != nullptr ? node.parent : node.document;
    if (owner == nullptr) return afterMarker;
    auto special = std::make_unique<XmlNode>();
    special->type = cdata ? XmlNodeCData : XmlNodeComment;
    special->name = cdata ? "#CDATA" : "#COMMENT";
    TextBetween(p + (cdata ? 9 : 4), end, special->value, false, '\0');
    XmlNode* appended = owner->AppendChild(std::move(special));
    appended->document = node.document;
    return afterMarker;
}

XmlParser::Prolog XmlParser::ScanProlog(XmlNode& node, const char*& p) {
    // Most elements have nothing in front: every construct below starts
    // with "<?" or "<!".
    if (p[0] == '<' && p[1] != '?' && p[1] != '!') return Prolog::Done;
    // A comment or CDATA section in front of an element of a parent that is
    // not a document belongs to that parent, between its children: the scan
    // stops there and the caller discards node.
    const bool toParent = node.parent != nullptr && node.parent->type != XmlNodeDocument;
    bool consumed = true;
    while (consumed) {
        consumed = false;
        p = SkipSpace(p);
        if (StartsWithNoCase(p, "<?", 2)) {
            const char* next = ScanProcessingInstruction(node, p);
            if (next == nullptr) return Prolog::Failed;
            consumed = next != p;
            p = next;
        }
        for (const bool cdata : {false, true}) {
            p = SkipSpace(p);
            if (StartsWithNoCase(p, cdata ? "<![CDATA[" : "<!--", cdata ? 9 : 4)) {
                const char* next = ScanCommentOrCData(node, p, cdata);
                if (next == nullptr) return Prolog::Failed;
                p = next;
                if (toParent) return Prolog::GaveToParent;
                consumed = true;
            }
        }
    }
    return Prolog::Done;
}

const char* XmlParser::CloseTag(XmlNode& node, const char* r, bool& closed) {
    // r is at "</". Returns the position after the delimiter of the closing
    // name, or null on failure; closed tells whether it closed node.
    const char* q = SkipSpace(r + 2);
    const char* end = FindAny(q, kClosingNameEnd);
    if (*end == '\0') {
        RecordError(options_, XmlErrorUnclosed, q, StringFormat("it must be closed with </%s>", node.name.c_str()));
        return nullptr;
    }
    const std::string_view closingName(q, static_cast<std::size_t>(end - q));
    closed = closingName == node.name;
    if (!closed && !options_.tolerateMismatch) {
        const std::string closing(closingName);
        RecordError(options_, XmlErrorMismatchedClose, end + 1,
                    StringFormat("'<%s> ... </%s>' is not wel-formed.", node.name.c_str(), closing.c_str()));
        return nullptr;
    }
    return end + 1;
}

const char* XmlParser::ParseChild(XmlNode& node, const char* p, int depth) {
    // What ParseElement does first, done here: at a closing tag or at the
    // end of markup the child would take no element and be discarded.
    const char* open = std::strchr(p, '<');
    if (open == nullptr) {
        NoOpenTag();
        return nullptr;
    }
    if (open[1] == '/') return open;
    std::unique_ptr<XmlNode> child = std::move(spare_);
    if (child == nullptr) child = std::make_unique<XmlNode>();
    child->parent = &node;
    child->document = node.document;
    child->type = node.type;
    const char* r = ParseElement(*child, open, depth);
    if (!child->name.empty()) {
        node.AppendChild(std::move(child));
    } else if (child->value.empty() && child->AttributeCount() == 0 && child->ChildCount() == 0) {
        spare_ = std::move(child); // as good as new
    }
    return r;
}

const char* XmlParser::ParseElement(XmlNode& node, const char* text, int depth) {
    node.Clear();
    const char* p = text;
    for (;;) {
        p = std::strchr(p, '<');
        if (p == nullptr) {
            NoOpenTag();
            return nullptr;
        }
        if (p[1] == '/') return p;
        const Prolog prolog = ScanProlog(node, p);
        if (prolog == Prolog::Failed) return nullptr;
        if (prolog == Prolog::GaveToParent) return p;
        if (*p == '<') break;
        // Text after the prolog that is not markup is skipped (see xml_node.h).
    }
    if (p[1] == '/') return p;
    if (depth > kXmlMaxDepth) {
        RecordError(options_, XmlErrorTooDeep, p, "XML elements nested deeper than 1000 levels");
        return nullptr;
    }
    p = ReadName(node, p + 1);
    const TagEnd tagEnd = ScanAttributes(node, p);
    if (tagEnd == TagEnd::CutInValue) return nullptr;
    if (tagEnd == TagEnd::Failed) {
        // Written even over an earlier error, replacing an attribute error's
        // own text at once.
        options_.errorText = "No attributes found in xml stream";
        return nullptr;
    }
    if (*p == '/') {
        if (p[1] == '>') return p + 2;
        RecordError(options_, XmlErrorEmptyTagUnclosed, p + 1, "Element must be closed.");
        return nullptr;
    }
    ++p; // over ">"
    if (IsBlank(node.value)) p = ReadText(node, p);
    while (*p != '\0') {
        const char* r = ParseChild(node, p, depth + 1);
        if (r == nullptr) return nullptr;
        if (r[0] == '<' && r[1] == '/') {
            bool closed = false;
            p = CloseTag(node, r, closed);
            if (p == nullptr) return nullptr;
            if (closed) return p;
        } else if (*r != '<' && IsBlank(node.value)) {
            // The character is tested first: the value is only scanned when
            // a text run follows, and then it is that run's predecessor.
            p = ReadText(node, r);
        } else {
            p = r;
        }
    }
    return p;
}

const char* XmlNode::Load(const char* text, XmlParseOptions& options) {
    if (text == nullptr) text = "";
    return XmlParser(options).ParseElement(*this, text, 1);
}
