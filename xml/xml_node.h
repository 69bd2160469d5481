// The node tree of the XML reader: a small, forgiving, non-validating parser
// (Load), queries by name and index, editing, and a writer (ToXml).
//
// Ownership. A node owns its children and its attributes; destroying or
// clearing a node destroys its whole subtree, and nothing else does.
// Unattached nodes and attributes travel as std::unique_ptr: CreateNode and
// CreateAttribute return one, AppendChild and AppendAttribute take one and
// return a plain pointer to the object now owned by the tree, DetachAttribute
// hands ownership back. Every plain pointer that a query returns stays owned
// by the tree and is valid until its owner removes, clears or reloads it.
// Constness is shallow, as for a pointer: the queries of a const node return
// nodes and attributes that may be edited.
//
// Destruction and Clear work with an explicit list, not recursion, so a tree
// of any depth is destroyed safely; CopyBranch and FindDescendant are
// iterative too. Load refuses elements nested deeper than kXmlMaxDepth, and
// ToXml recurses once per level (a tree built by editing deeper than a few
// tens of thousands of levels needs a larger stack to be written).
//
// Parsing (Load) in short: the first element found in the text becomes this
// node; its value is its first text run that is not blank (until one is met,
// each blank run replaces the previous one); comments and CDATA sections
// inside an element become its children "#COMMENT" and "#CDATA"; processing
// instructions go to the document node (skipped without one); an element
// still open at the end of the text is accepted. Escapes (escapeChar) are
// removed from values and text; an unquoted attribute value ends only at a
// space or ">"; closing tags are matched with letter case.
//
// Failures return null and set the options' error fields, only when no error
// is recorded yet, except two texts that are always written: "XML open tag not
// found" (no "<" at all: code 2, no position) and "No attributes found in xml
// stream" (a tag that runs into the end of the text, or an attribute name
// followed by neither a space nor "=": the latter also records code 4 at the
// attribute's start). The other failures:
//   1 XmlErrorEmptyTagUnclosed  "/" in a tag not followed by ">"; position
//     after the "/".
//   2 XmlErrorUnclosed          closing tag name followed by neither " " nor
//     ">"; position the closing name.
//   3 XmlErrorMismatchedClose   closing tag naming another element (unless
//     tolerateMismatch); position after the closing name's delimiter.
//   5 XmlErrorTooDeep           an element nested deeper than 1,000 levels;
//     position its "<". A text of any nesting depth fails cleanly instead of
//     exhausting the stack.
//   6 XmlErrorUnexpectedEnd     the text ends inside a comment, a CDATA
//     section, a processing instruction or a quoted attribute value;
//     position the "<" of the construct, or the opening quote. No node is
//     made for the construct; an attribute whose quoted value is cut keeps
//     an empty value.
// A tag that runs into the end of the text (also with only white space left
// after its last attribute) keeps the "No attributes found" result above,
// and a final escape character in element text is dropped, as escapes are.
// No scan ever reads past the text's terminating NUL. The nodes parsed before
// a failure stay in the tree, each fully linked.
//
// Further decisions where the forgiving rules left a gap:
//   - After comments, CDATA sections and processing instructions in front of
//     an element, any other text up to the next "<" is skipped; when no "<"
//     follows, Load fails as for a text without "<".
//   - A processing instruction is owned by the document node, and its parent
//     link names that owner (never a node that may be discarded).
//   - Inside a processing instruction the pseudo-attributes end at the
//     instruction's "?>": a name or value that would run past it is cut there
//     (a name records code 4, which does not stop the parse).
//   - A closing tag that follows a comment or a processing instruction
//     inside an element closes that element, as a well-formed
//     reading requires (`<a><?pi?></a>`, `<a><b/><!--c--></a>`, and
//     `<a><?pi?>text</a>`, where the skipped text goes with the
//     instruction), instead of failing with code 1 (XmlErrorEmptyTagUnclosed).
#pragma once

#include "xml/xml_options.h"
#include "xml/xml_owned_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum XmlNodeType : std::int32_t {
    XmlNodeElement = 0,
    XmlNodeProcessingInstruction = 1,
    XmlNodeComment = 2,
    XmlNodeCData = 3,
    XmlNodeDocument = 4,
};

class XmlNode;

struct XmlAttribute {
    std::string name;
    std::string value;
    // The node whose list holds this attribute; null when unattached.
    XmlNode* parent = nullptr;
};

class XmlNode {
public:
    std::string name;
    std::string value;
    // The node whose list holds this node; null for a root.
    XmlNode* parent = nullptr;
    XmlNodeType type = XmlNodeElement;
    // The document node this node belongs to; only consulted for processing
    // instructions, comments in front of a root, and by ToXml.
    XmlNode* document = nullptr;

    XmlNode() = default;
    ~XmlNode();
    XmlNode(const XmlNode&) = delete;
    XmlNode& operator=(const XmlNode&) = delete;

    // Clears this node (name and value are kept) and fills it from the first
    // element of text, which must be NUL-terminated. Returns the position just
    // behind what was parsed: after "/>", after the " " or ">" that ends the
    // closing tag's name, the NUL, the "<" of a closing tag met first, or just
    // after a comment or CDATA section given to the parent. Null on failure,
    // with the error in options (see the top of this file).
    const char* Load(const char* text, XmlParseOptions& options);

    // Queries. Names are compared exactly, letter case included.
    XmlAttribute* FindAttribute(std::string_view attributeName) const;
    // Null when there is no such attribute.
    const std::string* AttributeValue(std::string_view attributeName) const;
    // Null when index is negative or not below the count.
    XmlAttribute* AttributeAt(int index) const;
    int AttributeCount() const { return static_cast<int>(attributes_.Size()); }
    std::vector<XmlAttribute*> Attributes() const;

    XmlNode* FindChild(std::string_view childName) const;
    // All direct children of that name, in order; possibly empty.
    std::vector<XmlNode*> FindChildren(std::string_view childName) const;
    const std::string* ChildValue(std::string_view childName) const;
    XmlAttribute* ChildAttribute(std::string_view childName, std::string_view attributeName) const;
    const std::string* ChildAttributeValue(std::string_view childName, std::string_view attributeName) const;
    XmlNode* ChildAt(int index) const;
    int ChildCount() const { return static_cast<int>(children_.Size()); }
    std::vector<XmlNode*> Children() const;
    // Depth-first, pre-order, below this node (this node is not tested).
    XmlNode* FindDescendant(std::string_view descendantName) const;
    // The first child of type element, or null.
    XmlNode* FirstElementChild() const;

    // Editing.
    static std::unique_ptr<XmlNode> CreateNode(std::string_view nodeName, std::string_view nodeValue);
    static std::unique_ptr<XmlAttribute> CreateAttribute(std::string_view attributeName,
                                                         std::string_view attributeValue);
    // Takes ownership; sets the node's parent to this node and its document
    // to this node's document. Returns the node, or null for a null node.
    XmlNode* AppendChild(std::unique_ptr<XmlNode> node);
    XmlNode* AppendChild(std::string_view nodeName, std::string_view nodeValue);
    // Destroys the direct child node with its subtree; false when node is
    // not a direct child.
    bool RemoveChild(const XmlNode* node);
    // Takes ownership and sets the attribute's parent. Null for null.
    XmlAttribute* AppendAttribute(std::unique_ptr<XmlAttribute> attribute);
    XmlAttribute* AppendAttribute(std::string_view attributeName, std::string_view attributeValue);
    // Destroys the attribute; false when it is not one of this node's.
    bool RemoveAttribute(const XmlAttribute* attribute);
    // Takes the attribute out of the list without destroying it and hands it
    // back, unattached (parent null); null when it is not one of this node's.
    std::unique_ptr<XmlAttribute> DetachAttribute(const XmlAttribute* attribute);
    // Destroys all children (with their subtrees) and all attributes; name,
    // value, type and links stay.
    void Clear();
    // Clear, then copies document, parent, name, value and type, and a new
    // attribute for each of the source's attributes. Children are not copied.
    // source may be this node.
    void CopyNode(const XmlNode& source);
    // Clear, then CopyNode and a copy of the source's whole subtree. source
    // may be this node or lie inside its subtree: the copy is made first.
    void CopyBranch(const XmlNode& source);
    // Appends a new node filled by CopyBranch(node) and returns it.
    XmlNode* AppendChildBranch(const XmlNode& node);

    // Writes this node and its subtree. options.indentLevel is raised and
    // lowered again on the way.
    std::string ToXml(XmlWriteOptions& options) const;

private:
    // Load builds the lists directly (xml_parse.cpp).
    friend class XmlParser;
    XmlOwnedList<XmlNode> children_;
    XmlOwnedList<XmlAttribute> attributes_;
};
